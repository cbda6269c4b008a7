#pragma once

namespace tarvis {

// The program's version, shown in the main window's caption and the About box.
inline constexpr char kVersionText[] = "3.0.5";

} // namespace tarvis
