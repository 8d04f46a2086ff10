// Windows-1252 helpers. The code page is not Latin-1: bytes 0x80-0x9F carry typographic characters.
#include "data/ansi.h"

namespace {

// Unicode of the bytes 0x80-0x9F; 0 marks the five bytes the code page leaves undefined.
constexpr char16_t Bereich80[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char AnsiByte(char16_t zeichen) {
  if (zeichen < 0x80 || (zeichen >= 0xA0 && zeichen <= 0xFF))
    return static_cast<char>(zeichen);
  for (int i = 0; i < 32; ++i)
    if (Bereich80[i] != 0 && Bereich80[i] == zeichen)
      return static_cast<char>(0x80 + i);
  return '?';
}

char16_t UnicodeVon(unsigned char byte) {
  if (byte >= 0x80 && byte < 0xA0) {
    const char16_t u = Bereich80[byte - 0x80];
    // Undefined bytes map to the C1 control of the same value, as the platform's converter does.
    return u != 0 ? u : char16_t(byte);
  }
  return char16_t(byte);
}

unsigned char GrossByte(unsigned char b) {
  if (b >= 'a' && b <= 'z')
    return b - 32;
  if (b >= 0xE0 && b <= 0xFE && b != 0xF7)  // à..þ without the division sign
    return b - 32;
  switch (b) {
  case 0x9A: return 0x8A;  // š
  case 0x9C: return 0x8C;  // œ
  case 0x9E: return 0x8E;  // ž
  case 0xFF: return 0x9F;  // ÿ
  default: return b;
  }
}

} // namespace

QByteArray NachAnsi(const QString &text) {
  QByteArray bytes;
  bytes.reserve(text.size());
  for (int i = 0; i < text.size(); ++i) {
    const QChar c = text.at(i);
    // A surrogate pair is one character outside the code page: one "?", not two.
    if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
      ++i;
    bytes.append(AnsiByte(c.unicode()));
  }
  return bytes;
}

QString VonAnsi(const QByteArray &bytes) {
  QString text;
  text.resize(bytes.size());
  for (int i = 0; i < bytes.size(); ++i)
    text[i] = QChar(UnicodeVon(static_cast<unsigned char>(bytes.at(i))));
  return text;
}

QString AnsiText(const QString &text) { return VonAnsi(NachAnsi(text)); }

QString AnsiGross(const QString &text) {
  QByteArray bytes = NachAnsi(text);
  for (char &b : bytes)
    b = static_cast<char>(GrossByte(static_cast<unsigned char>(b)));
  return VonAnsi(bytes);
}

QString AnsiTrim(const QString &text) {
  int anfang = 0;
  int ende = text.size();
  while (anfang < ende && text.at(anfang).unicode() <= 32)
    ++anfang;
  while (ende > anfang && text.at(ende - 1).unicode() <= 32)
    --ende;
  return text.mid(anfang, ende - anfang);
}
