#pragma once
// Bounded copies into fixed text buffers. Every copy into a char array goes through these,
// so that no input can run past a buffer's end.

#include <cstddef>

// Copies at most size - 1 characters and always terminates dst; does nothing when dst is null
// or size is 0. A null src counts as the empty text.
void CopyBounded(char* dst, const char* src, std::size_t size);

// Appends src while the result stays within size - 2 characters, terminates, and returns the
// new length. A null dst, or a size below 2, leaves everything as it is.
std::size_t AppendBounded(char* dst, const char* src, std::size_t size);

// Length of a text in a buffer of the given capacity, never reading past it.
std::size_t BoundedLength(const char* text, std::size_t capacity);
