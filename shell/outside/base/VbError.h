#pragma once

#include <cstdint>

namespace orv {

// The run-time error numbers the library raises where the host expects the numbers of its own
// run-time and data-access errors, so that callers can tell the kind of failure by number. The
// application's own errors are numbered from vbObjectError upward instead (AppError.h).
enum class VbError : std::int32_t {
  kInvalidProcedureCall = 5,
  kOverflow = 6,
  kOutOfMemory = 7,
  kSubscriptOutOfRange = 9,
  kTypeMismatch = 13,
  // "Object variable or With block variable not set".
  kObjectNotSet = 91,
  // "Object doesn't support this action".
  kActionNotSupported = 445,
  // Data access: "Item cannot be found in the collection" (0x800A0CC1).
  kItemNotFound = -2146825023,
  // Data access: no current record, or the recordset is closed (0x800A0BCD).
  kNoCurrentRecord = -2146825267,
};

constexpr std::int32_t ErrorNumber(VbError error) { return static_cast<std::int32_t>(error); }

}  // namespace orv
