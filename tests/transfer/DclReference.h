// The classic DCL entry points exported by the system's libstorm, an implementation of the
// implode format written apart from Tarvis's; used to cross-check streams in both directions.
#pragma once

extern "C" {
unsigned int implode(unsigned int (*readBuf)(char* buf, unsigned int* size, void* param),
                     void (*writeBuf)(char* buf, unsigned int* size, void* param), char* workBuf,
                     void* param, unsigned int* type, unsigned int* dsize);
unsigned int explode(unsigned int (*readBuf)(char* buf, unsigned int* size, void* param),
                     void (*writeBuf)(char* buf, unsigned int* size, void* param), char* workBuf,
                     void* param);
}

namespace tarvis::reference {
// That library keeps pointers in its work areas, so on 64-bit builds they are larger than the
// format's classic sizes.
inline constexpr unsigned kImplodeWorkSize = 36328;
inline constexpr unsigned kExplodeWorkSize = 12648;
} // namespace tarvis::reference
