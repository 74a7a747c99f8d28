// The output-folder dialog "Select Directory": a folder browser that opens where the folder
// text points (or at the system's root) and lists folders only.
#ifndef VATRIX_WINDOW_FOLDER_CHOOSER_H_
#define VATRIX_WINDOW_FOLDER_CHOOSER_H_

#include <QWidget>
#include <optional>
#include <string>

#include "hostdata/user_interface.h"

namespace vatrix {

// Runs the dialog from `start` and returns the folder chosen, nullopt when none was. A start
// folder that cannot be listed (a device that is not there) is reported and the dialog opens
// at the root instead.
std::optional<std::string> ChooseFolderIn(QWidget* parent, const std::string& start,
                                          UserInterface& ui);

}  // namespace vatrix

#endif  // VATRIX_WINDOW_FOLDER_CHOOSER_H_
