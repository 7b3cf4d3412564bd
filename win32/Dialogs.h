#pragma once

#include <optional>
#include <string>

#include "app/View.h"
#include "win32/Win32Api.h"

// The modal dialogs, each from its template in the resource script.
// Empty optional: cancelled.
std::optional<ConfigChoice> RunConfigurationDialog(HINSTANCE instance, HWND owner,
                                                   const ConfigChoice& initial);
std::optional<std::string> RunSubmoduleDialog(HINSTANCE instance, HWND owner);
// The start-up notice and the About box: shown until OK.
void RunNoticeDialog(HINSTANCE instance, HWND owner, int templateId);

// The file dialogs. filter is in the "description|pattern|...||" form; an
// empty title leaves the dialog's own.
struct FileDialogRequest {
  std::string filter;
  std::string defaultExtension;
  std::string title;
  bool save = false;
};
std::optional<std::string> AskFile(HWND owner, const FileDialogRequest& request);
