// The open mode is read from what happened between an open and its close.

#include <gtest/gtest.h>

#include "activity/recorder/open_tracker.h"
#include "activity/recorder/operation.h"

namespace {

using activity::recorder::OpenTracker;
using activity::recorder::Operation;

TEST(OpenTracker, TellsTheModesApartPerProcess) {
  OpenTracker tracker;
  tracker.Opened(1, "/d/a", false);
  EXPECT_EQ(tracker.Closed(1, "/d/a", false), Operation::Read);
  tracker.Opened(1, "/d/a", false);
  EXPECT_EQ(tracker.Closed(1, "/d/a", true), Operation::Write);
  tracker.Opened(1, "/d/a", false);
  tracker.Read(1, "/d/a");
  EXPECT_EQ(tracker.Closed(1, "/d/a", true), Operation::ReadWrite);
  tracker.Opened(2, "/d/prog", true);
  tracker.Read(2, "/d/prog");
  EXPECT_EQ(tracker.Closed(2, "/d/prog", false), Operation::Execute);

  // Another process's read does not make this one's write a read-and-write.
  tracker.Opened(3, "/d/b", false);
  tracker.Opened(4, "/d/b", false);
  tracker.Read(4, "/d/b");
  EXPECT_EQ(tracker.Closed(3, "/d/b", true), Operation::Write);
  EXPECT_EQ(tracker.Closed(4, "/d/b", false), Operation::Read);
  EXPECT_EQ(tracker.OpenCount(), 0u);

  // A close whose open came before the watch is still counted.
  EXPECT_EQ(tracker.Closed(5, "/d/c", false), Operation::Read);
}

TEST(CountOperation, KeepsTotalsLastAccessAndSaturates) {
  activity::AccessRecord record;
  activity::recorder::Count(record, Operation::Read, 3, 100);
  activity::recorder::Count(record, Operation::Seek, 2, 200);
  EXPECT_EQ(record.readOnly, 3u);
  EXPECT_EQ(record.seek, 2u);
  EXPECT_EQ(record.total, 5u);
  EXPECT_EQ(record.lastAccess, 200u);
  EXPECT_EQ(record.lastOperation, 4);
  activity::recorder::Count(record, Operation::Write, 0xFFFFFFFFu, 300);
  EXPECT_EQ(record.writeOnly, 0xFFFFFFFFu);
  EXPECT_EQ(record.total, 0xFFFFFFFFu);  // never wraps to a small number
  activity::recorder::Count(record, Operation::Execute, 0, 400);
  EXPECT_EQ(record.lastAccess, 300u);  // nothing counted, nothing changed
}

}  // namespace
