#pragma once
// Turns the edited drive table into file operations at shutdown, while the recorder
// holds its files: databases that are new get their files, moved ones are copied to
// their new place, resized ones are emptied and rebuilt, removed ones lose their files.
// Whatever could not be done is taken back out of the new state, so the table saved
// afterwards describes the files as they are.

namespace platform { class System; }
namespace common { class Prompter; }

namespace activity {

class DriveTable;

inline constexpr const char* kResizeQuestionHead = "You have changed parameters of the database for the drive ";
inline constexpr const char* kResizeQuestionTail =
    ": !\nFor the database to be resized it should be empty.\n\nDo you want to empty it ?";
inline constexpr const char* kCreateFailureHead = "Can't create database for drive ";
inline constexpr const char* kCreateFailureTail = " !";
inline constexpr const char* kMoveFailureHead = "Error occured during moving the database for drive ";
inline constexpr const char* kMoveFailureFrom = ":\nfrom drive ";
inline constexpr const char* kMoveFailureTo = ": to the drive ";
inline constexpr const char* kMoveFailureTail =
    ": !\n\nPress ignore or abort to keep it on the previous drive";

// Applies the difference between the table's new and old states. Afterwards the new
// state (as reconciled with what could be done) is also the old one, so applying again
// does nothing.
void ApplyConfiguration(DriveTable& table, platform::System& system, common::Prompter& prompter);

}  // namespace activity
