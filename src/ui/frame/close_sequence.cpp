#include "ui/frame/close_sequence.h"

#include "shell/shutdown.h"
#include "ui/frame/main_frame.h"
#include "scan/scan_controller.h"
#include "ui/document/drives_document.h"

namespace ui {

void InstallCloseSequence(CMainFrame& frame, std::string handOffDirectory) {
  frame.SetCloseHandler([&frame, handOffDirectory = std::move(handOffDirectory)] {
    ShellContext& context = frame.Context();
    DrivesDocument& document = frame.Document();
    // Its questions are modal loops; what it hands over are the records as they are.
    const scan::RecordsHold hold = document.Scanner().HoldRecords();
    return shell::RunShutdown({context.state, context.system, context.prompter, &document.DriveList(),
                               [&document] { return document.Scanner().ScanThreadRunning(); },
                               handOffDirectory});
  });
}

}  // namespace ui
