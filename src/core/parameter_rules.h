// Parameters as the user types them into the dialogs, and the corrections
// of the values the shared ones (core/params.h) do not cover.
#pragma once
#include <cstdint>

// Lenient conversions: leading blanks, an optional sign, then digits (and
// for the decimal a fraction and exponent); the rest is ignored. Text that
// does not start with a number gives 0. Out-of-range values saturate.
int32_t textToInt(const char *text);
double textToDouble(const char *text);

// Saturating narrowing to the 16-bit parameter fields.
int16_t toInt16(int32_t value);

int32_t correctShortLength(int32_t length);     // negative becomes 0
int16_t correctFlanksLength(int32_t length);    // 0 .. 32
int16_t correctMergeDistance(int32_t distance); // at least 1
// Seed-word repeat cut-off: negative means no limit (0); saturates at int32.
int32_t correctRepeatLimit(int64_t limit);

// Scores are kept in hundredths. The text form drops trailing zeros and a
// trailing point (100 -> "1", -150 -> "-1.5").
void scoreToText(int32_t hundredths, char *out, int size);
// Typed scores, rounded to hundredths: the bonus is always positive, a
// penalty never is, whatever sign was typed.
int32_t matchBonusFromText(const char *text);
int32_t penaltyFromText(const char *text);
