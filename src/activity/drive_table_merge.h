#pragma once
// The drive table is shared: while the program runs, the recorder writes its counts
// (records in use, names state, reserved bytes) into the same file. What the program
// saves is therefore the file as it stands now with only the program's own edits on top.

#include <vector>

#include "activity/drive_record.h"

namespace activity {

// `onDisk`: the table the file holds now. `base`: the program's table as it last loaded
// or saved it. `edited`: the program's table now. A drive the program added, removed or
// rebuilt (its shape changed, so its database was emptied) takes the program's record
// whole, or goes; a drive whose location or span the program changed takes those fields
// and keeps the rest of the file's record; every other record stays as the file has it.
std::vector<DriveRecord> MergeOwnEdits(const std::vector<DriveRecord>& onDisk,
                                       const std::vector<DriveRecord>& base,
                                       const std::vector<DriveRecord>& edited);

}  // namespace activity
