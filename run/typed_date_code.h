#pragma once
// The checking and packing of a date code the technician typed, shared by the Windows date
// code dialog and the terminal prompt.

#include <array>
#include <string_view>

#include "run/date_code.h"

namespace tav {

inline constexpr std::string_view kInvalidDateText = "Invalid Date/Time.  Please re-enter.";
inline constexpr std::string_view kInvalidDateCaption = "Enter Date Code";
inline constexpr std::string_view kNotCompatibleText =
    "This patch is not compatible with the date code you entered.\nIf you entered the date "
    "code incorrectly, please try again.\nIf the date code is correct for your radio, please "
    "contact\nSorel customer service for assistance in obtaining the\ncorrect firmware for "
    "your radio.";
inline constexpr std::string_view kNotCompatibleCaption = "Sorel Radio";

// The dialog's end codes.
inline constexpr int kDateCodeEligible = 0;
inline constexpr int kDateCodeCancelled = 1;
inline constexpr int kDateCodeNotEligible = 2;

enum class TypedDateVerdict { Invalid, Eligible, NotEligible };

struct TypedDateResult {
  TypedDateVerdict verdict;
  DateCode code;  // packed code; meaningful unless verdict is Invalid
};

// Converts a field as atoi does (leading blanks, optional sign, digits up to the first
// non-digit, none gives 0), saturating instead of overflowing.
int ConvertField(std::string_view text);

// Fields in the order month, day, year, hour, minute, second, as typed.
TypedDateResult CheckTypedDate(const std::array<std::string_view, 6>& fields, const DateCode* list);

}  // namespace tav
