// The output-folder dialog's logic: where it starts and what the chosen folder becomes in the
// main window's folder text.
#ifndef VATRIX_APP_FOLDER_DIALOG_H_
#define VATRIX_APP_FOLDER_DIALOG_H_

#include <string>

namespace vatrix {

// The folder the dialog opens on: the folder text without its outer blanks, or the root of
// the first drive ("c:\" on Windows, "/" elsewhere) when the text holds nothing else.
std::string FolderDialogStart(const std::string& folder_text);

// The folder text for a chosen folder: the path separator appended when it does not end in
// one. Windows names ignore case and the text is put in upper case there; elsewhere the
// folder keeps its own case, which is part of its name.
std::string ChosenFolderText(const std::string& folder);

// A folder text typed into the box, made to end in the path separator (outer blanks dropped)
// so that the output name joins inside the folder; a text that already ends in one is kept.
std::string TypedFolderText(const std::string& folder_text);

}  // namespace vatrix

#endif  // VATRIX_APP_FOLDER_DIALOG_H_
