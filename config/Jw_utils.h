#pragma once
// Colours are kept by name; these are the sixteen names, matched exactly.
#include <QColor>
#include <QString>

namespace tarvis {

// The colour of a name; any other text gives black.
QColor ColorFromName(const QString& name);

} // namespace tarvis
