// Wide-text helpers and the bounded formatter. Pure; no platform calls, no heap.
#include "base/text.h"

int TextLength(const char16_t* text) {
  int n = 0;
  while (text[n] != 0) ++n;
  return n;
}

bool TextEquals(const char16_t* a, const char16_t* b) {
  while (*a != 0 && *a == *b) ++a, ++b;
  return *a == *b;
}

bool TextContains(const char16_t* text, const char16_t* needle) {
  if (needle[0] == 0) return true;
  for (; *text != 0; ++text) {
    int i = 0;
    while (needle[i] != 0 && text[i] == needle[i]) ++i;
    if (needle[i] == 0) return true;
  }
  return false;
}

bool TextAppend(char16_t* buffer, int capacity, const char16_t* text) {
  if (capacity <= 0) return false;
  int n = 0;
  while (n < capacity - 1 && buffer[n] != 0) ++n;
  while (*text != 0 && n < capacity - 1) buffer[n++] = *text++;
  buffer[n] = 0;
  return *text == 0;
}

bool TextCopy(char16_t* buffer, int capacity, const char16_t* text) {
  if (capacity <= 0) return false;
  buffer[0] = 0;
  return TextAppend(buffer, capacity, text);
}

namespace {

// Writes characters into a buffer, counting what fits.
struct Writer {
  char16_t* Buffer;
  int Capacity;
  int Length;

  void Put(char16_t c) {
    if (Length < Capacity - 1) Buffer[Length++] = c;
  }
  void PutDigits(unsigned long long value, int width, char16_t pad) {
    char16_t digits[24];
    int n = 0;
    do {
      digits[n++] = static_cast<char16_t>(u'0' + value % 10);
      value /= 10;
    } while (value != 0);
    for (int i = n; i < width; ++i) Put(pad);
    while (n > 0) Put(digits[--n]);
  }
  void PutInteger(long long value, int width, char16_t pad) {
    unsigned long long magnitude = value < 0 ? 0ull - static_cast<unsigned long long>(value)
                                             : static_cast<unsigned long long>(value);
    if (value < 0) {
      Put(u'-');
      --width;  // the sign takes one place of the width; below 0 pads nothing, as 0 does
    }
    PutDigits(magnitude, width, pad);
  }
  // Fixed-point with `decimals` places, rounded half away from zero.
  void PutFixed(double value, int decimals) {
    if (value != value) {  // not a number
      Put(u'n'), Put(u'a'), Put(u'n');
      return;
    }
    if (value < 0) {
      Put(u'-');
      value = -value;
    }
    unsigned long long scale = decimals == 1 ? 10 : 100;
    if (value > 1e15) value = 1e15;
    unsigned long long scaled =
        static_cast<unsigned long long>(value * static_cast<double>(scale) + 0.5);
    PutDigits(scaled / scale, 1, u'0');
    Put(u'.');
    PutDigits(scaled % scale, decimals, u'0');
  }
};

}  // namespace

int FormatTextV(char16_t* buffer, int capacity, const char16_t* format, va_list arguments) {
  if (capacity <= 0) return 0;
  Writer out{buffer, capacity, 0};
  for (const char16_t* p = format; *p != 0; ++p) {
    if (*p != u'%') {
      out.Put(*p);
      continue;
    }
    ++p;
    char16_t pad = u' ';
    int width = 0;
    if (*p == u'0') pad = u'0', ++p;
    while (*p >= u'0' && *p <= u'9') width = width * 10 + (*p++ - u'0');
    if (*p == u'd') {
      out.PutInteger(va_arg(arguments, int), width, pad);
    } else if (*p == u's') {
      const char16_t* s = va_arg(arguments, const char16_t*);
      for (; s != nullptr && *s != 0; ++s) out.Put(*s);
    } else if (*p == u'.' && (p[1] == u'1' || p[1] == u'2') && p[2] == u'f') {
      out.PutFixed(va_arg(arguments, double), p[1] - u'0');
      p += 2;
    } else if (*p == u'%') {
      out.Put(u'%');
    } else {
      // An unknown directive is an error of the caller's format: show it as written.
      out.Put(u'%');
      if (*p == 0) break;
      out.Put(*p);
    }
  }
  buffer[out.Length] = 0;
  return out.Length;
}

int FormatText(char16_t* buffer, int capacity, const char16_t* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  int n = FormatTextV(buffer, capacity, format, arguments);
  va_end(arguments);
  return n;
}
