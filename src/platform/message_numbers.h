#pragma once

#include <cstdint>

namespace sondrix {

// The first message number free for a program's own messages. Tables of
// notifications need only this, not the whole message loop.
constexpr uint32_t WM_USER = 0x400;

}  // namespace sondrix
