#include "core/parameter_rules.h"

#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int32_t textToInt(const char *text) {
  const char *p = text;
  while (*p == ' ' || *p == '\t')
    ++p;
  bool negative = false;
  if (*p == '+' || *p == '-')
    negative = *p++ == '-';
  int64_t v = 0;
  for (; isdigit(static_cast<unsigned char>(*p)); ++p)
    if (v <= INT32_MAX)
      v = v * 10 + (*p - '0');
  if (negative)
    v = -v;
  return static_cast<int32_t>(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v);
}

double textToDouble(const char *text) {
  const char *p = text;
  while (*p == ' ' || *p == '\t')
    ++p;
  // strtod would also take "inf", "nan" and hexadecimal: only a decimal
  // number counts.
  const char *q = p;
  if (*q == '+' || *q == '-')
    ++q;
  if (!isdigit(static_cast<unsigned char>(*q)) &&
      !(*q == '.' && isdigit(static_cast<unsigned char>(q[1]))))
    return 0;
  if (q[0] == '0' && (q[1] == 'x' || q[1] == 'X'))
    return 0;
  double v = strtod(p, nullptr);
  return std::isfinite(v) ? v : (v > 0 ? HUGE_VAL : -HUGE_VAL);
}

int16_t toInt16(int32_t value) {
  return static_cast<int16_t>(value < INT16_MIN   ? INT16_MIN
                              : value > INT16_MAX ? INT16_MAX
                                                  : value);
}

int32_t correctShortLength(int32_t length) { return length < 0 ? 0 : length; }

int16_t correctFlanksLength(int32_t length) {
  return static_cast<int16_t>(length < 0 ? 0 : length > 32 ? 32 : length);
}

int16_t correctMergeDistance(int32_t distance) { return distance < 1 ? 1 : toInt16(distance); }

int32_t correctRepeatLimit(int64_t limit) {
  return static_cast<int32_t>(limit < 0 ? 0 : limit > INT32_MAX ? INT32_MAX : limit);
}

void scoreToText(int32_t hundredths, char *out, int size) {
  snprintf(out, size, "%f", hundredths * 0.01);
  if (!strchr(out, '.'))
    return;
  size_t n = strlen(out);
  while (n && out[n - 1] == '0')
    out[--n] = 0;
  if (n && out[n - 1] == '.')
    out[--n] = 0;
}

// |value| * 100 + 0.5, truncated, kept inside int32.
static int32_t roundedHundredths(const char *text) {
  double h = std::fabs(textToDouble(text)) * 100 + 0.5;
  return h >= INT32_MAX ? INT32_MAX : static_cast<int32_t>(h);
}

int32_t matchBonusFromText(const char *text) { return roundedHundredths(text); }

int32_t penaltyFromText(const char *text) { return -roundedHundredths(text); }
