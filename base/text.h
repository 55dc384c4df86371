// Wide-text helpers and the one bounded formatter of the program.
// Pure; no platform calls. Every writer takes the buffer's capacity (terminator included) and
// never writes past it: too long a result is cut and still terminated.
#pragma once

#include <cstdarg>

int TextLength(const char16_t* text);
bool TextEquals(const char16_t* a, const char16_t* b);
// Plain, case-sensitive substring test; an empty needle is contained everywhere.
bool TextContains(const char16_t* text, const char16_t* needle);
// Copy and append; return false when the result had to be cut.
bool TextCopy(char16_t* buffer, int capacity, const char16_t* text);
bool TextAppend(char16_t* buffer, int capacity, const char16_t* text);

// Formats into `buffer`: %d (int), with a width padded by spaces or zeros (%2d, %02d, %10d),
// %s (const char16_t*), %.1f and %.2f (double), %%. Returns the characters written, terminator
// excluded.
int FormatText(char16_t* buffer, int capacity, const char16_t* format, ...);
int FormatTextV(char16_t* buffer, int capacity, const char16_t* format, va_list arguments);
