// The installer's German messages, from its own string table.
#pragma once

#include <cstddef>

// Loads message `id` into buf (capacity characters, terminator included).
// A message that cannot be loaded gives the empty text.
void LoadMessage(unsigned id, wchar_t* buf, std::size_t capacity);
