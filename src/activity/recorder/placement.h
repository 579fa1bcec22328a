#pragma once
// Where the recorder puts a new key: the first free slot the program's lookup would reach
// for it (its four buckets in probe order, then the overflow area forward, wrapping to the
// start), so that every placed record is found again by LookupIn.

#include <cstdint>
#include <vector>

#include "activity/drive_record.h"

namespace activity::recorder {

// Index of the record holding k1, placing it in the first free slot when absent
// (`created` then becomes true). -1 when the key is 0 (it marks free slots), the table
// is shorter than its record says, or every slot is taken. The spare slot after the capacity stays free
// so the wrap-around scan always ends. `table` must hold capacity + 1 records.
std::int64_t FindOrPlace(std::vector<AccessRecord>& table, const DriveRecord& record,
                         std::uint32_t k1, std::uint32_t k2, bool* created);

}  // namespace activity::recorder
