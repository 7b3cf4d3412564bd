#include "win32/Dialogs.h"

#include <algorithm>
#include <array>
#include <functional>

#include "win32/ResourceIds.h"
#include "win32/WideText.h"

namespace {

constexpr int kSubmoduleMaxChars = 15;
constexpr std::array<int, 4> kPortButtons = {IDC_COM1, IDC_COM2, IDC_COM3, IDC_COM4};

// What a dialog does beyond closing: fill its controls as it opens, read
// them back on OK. Cancel (and Escape) closes it with nothing read.
struct DialogBehaviour {
  std::function<void(HWND)> open;
  std::function<void(HWND)> accept = [](HWND) {};
};

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    reinterpret_cast<const DialogBehaviour*>(lParam)->open(dialog);
    return TRUE;
  }
  const int id = LOWORD(wParam);
  if (message != WM_COMMAND || (id != IDOK && id != IDCANCEL)) return FALSE;
  if (id == IDOK)
    reinterpret_cast<const DialogBehaviour*>(GetWindowLongPtrW(dialog, DWLP_USER))->accept(dialog);
  EndDialog(dialog, id);
  return TRUE;
}

// True when the dialog closed with OK.
bool RunDialog(HINSTANCE instance, HWND owner, int templateId, const DialogBehaviour& behaviour) {
  return DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), owner, DialogProc,
                         reinterpret_cast<LPARAM>(&behaviour)) == IDOK;
}

// The templates placed at 0, 0 have no place of their own: centred over
// the main window, as the framework centres such dialogs.
void CentreOnOwner(HWND dialog) {
  HWND owner = GetWindow(dialog, GW_OWNER);
  RECT box{};
  RECT area{};
  GetWindowRect(dialog, &box);
  if (owner) {
    GetWindowRect(owner, &area);
  } else {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  }
  const int width = box.right - box.left;
  const int height = box.bottom - box.top;
  // Never off the screen's top or left edge, where its caption would be lost.
  const int left = std::max(0, static_cast<int>(area.left + (area.right - area.left - width) / 2));
  const int top = std::max(0, static_cast<int>(area.top + (area.bottom - area.top - height) / 2));
  SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void ShowConfiguration(HWND dialog, const ConfigChoice& choice) {
  // A stored port outside 1 to 4 leaves every button clear.
  if (choice.portChoice >= 0 && choice.portChoice < static_cast<int>(kPortButtons.size()))
    CheckRadioButton(dialog, IDC_COM1, IDC_COM4, kPortButtons[static_cast<std::size_t>(choice.portChoice)]);
  CheckDlgButton(dialog, IDC_VERIFY, choice.verify ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog, IDC_ALLOW_CPU0, choice.allowCpu0 ? BST_CHECKED : BST_UNCHECKED);
}

void ReadConfiguration(HWND dialog, ConfigChoice& choice) {
  choice.portChoice = -1;
  for (std::size_t i = 0; i < kPortButtons.size(); ++i)
    if (IsDlgButtonChecked(dialog, kPortButtons[i]) == BST_CHECKED) choice.portChoice = static_cast<int>(i);
  choice.verify = IsDlgButtonChecked(dialog, IDC_VERIFY) == BST_CHECKED;
  choice.allowCpu0 = IsDlgButtonChecked(dialog, IDC_ALLOW_CPU0) == BST_CHECKED;
}

}  // namespace

std::optional<ConfigChoice> RunConfigurationDialog(HINSTANCE instance, HWND owner,
                                                   const ConfigChoice& initial) {
  ConfigChoice choice = initial;
  const DialogBehaviour behaviour{[&](HWND dialog) { ShowConfiguration(dialog, choice); },
                                  [&](HWND dialog) { ReadConfiguration(dialog, choice); }};
  if (!RunDialog(instance, owner, IDD_CONFIGURATION, behaviour)) return std::nullopt;
  return choice;
}

std::optional<std::string> RunSubmoduleDialog(HINSTANCE instance, HWND owner) {
  std::string text;
  const DialogBehaviour behaviour{
      [](HWND dialog) {
        SendDlgItemMessageW(dialog, IDC_SUBMODULE_DATA, EM_LIMITTEXT, kSubmoduleMaxChars, 0);
        CentreOnOwner(dialog);
      },
      [&](HWND dialog) {
        std::array<wchar_t, kSubmoduleMaxChars + 1> buffer{};
        GetDlgItemTextW(dialog, IDC_SUBMODULE_DATA, buffer.data(), static_cast<int>(buffer.size()));
        text = Utf8FromWide(buffer.data());
      }};
  if (!RunDialog(instance, owner, IDD_SUBMODULE, behaviour)) return std::nullopt;
  return text;
}

void RunNoticeDialog(HINSTANCE instance, HWND owner, int templateId) {
  RunDialog(instance, owner, templateId, DialogBehaviour{CentreOnOwner});
}

std::optional<std::string> AskFile(HWND owner, const FileDialogRequest& ask) {
  const std::wstring filters = FileDialogFilter(ask.filter);
  const std::wstring title = WideFromUtf8(ask.title);
  const std::wstring extension = WideFromUtf8(ask.defaultExtension);
  std::array<wchar_t, MAX_PATH> path{};
  OPENFILENAMEW request{};
  request.lStructSize = sizeof(request);
  request.hwndOwner = owner;
  request.lpstrFilter = filters.c_str();
  request.lpstrFile = path.data();
  request.nMaxFile = static_cast<DWORD>(path.size());
  // No title of its own: the dialog's own "Open" or "Save As".
  request.lpstrTitle = title.empty() ? nullptr : title.c_str();
  request.lpstrDefExt = extension.c_str();
  request.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | (ask.save ? OFN_OVERWRITEPROMPT : 0);
  if (!(ask.save ? GetSaveFileNameW(&request) : GetOpenFileNameW(&request))) return std::nullopt;
  return Utf8FromWide(path.data());
}
