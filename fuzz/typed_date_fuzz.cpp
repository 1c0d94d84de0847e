// The date code dialog's six fields, typed as anything at all: the input is split at newline
// bytes into month, day, year, hour, minute and second (missing fields are empty). Every
// verdict must agree with the fields and with the list it was checked against.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "run/date_code.h"
#include "run/typed_date_code.h"

namespace {

int TypedYear(int typed) {
  if (typed < 50) return typed + 2000;
  if (typed < 100) return typed + 1900;
  return typed;
}

void Check(const std::array<std::string_view, 6>& fields, const tav::DateCode* list) {
  const tav::TypedDateResult result = tav::CheckTypedDate(fields, list);
  if (result.verdict == tav::TypedDateVerdict::Invalid) {
    if (result.code != 0) std::abort();
    return;
  }
  if ((result.verdict == tav::TypedDateVerdict::Eligible) != tav::IsEligible(result.code, list)) {
    std::abort();
  }
  // The packed code reads back as what was typed (seconds in steps of two).
  const tav::DateCodeFields d = tav::DecodeDateCode(result.code);
  const int month = tav::ConvertField(fields[0]), day = tav::ConvertField(fields[1]);
  const int year = TypedYear(tav::ConvertField(fields[2])), hour = tav::ConvertField(fields[3]);
  const int minute = tav::ConvertField(fields[4]), second = tav::ConvertField(fields[5]);
  if (static_cast<int>(d.month) != month || static_cast<int>(d.day) != day ||
      static_cast<int>(d.year) != year || static_cast<int>(d.hour) != hour ||
      static_cast<int>(d.minute) != minute || static_cast<int>(d.second) != (second & ~1)) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::array<std::string_view, 6> fields{};
  std::size_t start = 0;
  for (std::size_t i = 0; i < fields.size() && start <= text.size(); ++i) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    fields[i] = text.substr(start, end - start);
    start = end + 1;
  }
  Check(fields, tav::kCoreEligibleDateCodes);
  Check(fields, tav::kControlHeadEligibleDateCodes);
  return 0;
}
