// window-probe.exe: test equipment that looks into the running window from
// outside, as a user's eyes and hands would, through window messages.
//   window-probe wait TITLE SECONDS      a visible window of exactly that title
//   window-probe title                   the main window's title
//   window-probe transcript              the transcript's text, "\n" line ends
//   window-probe rect [frame|toolbar]    the transcript's (or the window's, or the
//                                        toolbar's) screen rectangle: left top width height
//   window-probe command ID              a menu command to the main window
//   window-probe enabled ID              exit 0 while the command's toolbar button is enabled
//   window-probe progress                the status bar's progress bar: its position while
//                                        it shows, exit 1 while it does not
//   window-probe controls TITLE          the dialog's controls: id, class, text
//                                        (with \r, \n and \t escaped)
//   window-probe press TITLE ID          clicks a dialog's button
//   window-probe set-text TITLE ID TEXT  types into a dialog's control
//   window-probe boxes                   each message box's text; each is answered OK
//   window-probe alive                   exit 0 while the main window exists
#include <fcntl.h>
#include <io.h>
#include <windows.h>

// After windows.h, which it needs.
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kFrameClass[] = L"TobranePromLoaderFrame";
constexpr wchar_t kDialogClass[] = L"#32770";
constexpr wchar_t kAppTitle[] = L"Tobrane PROM Loader";
constexpr int kTranscriptId = 2000;
constexpr int kToolbarId = 59392;
constexpr int kProgressId = 2001;
constexpr int kBoxTextId = 0xFFFF;

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), length, nullptr, nullptr);
  return out;
}

std::wstring Wide(const char* text) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text, -1, out.data(), length);
  out.resize(out.size() - 1);
  return out;
}

// Through WM_GETTEXT, which the system carries across processes.
std::wstring WindowText(HWND hwnd) {
  const LRESULT length = SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const LRESULT got = SendMessageW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(got));
  return text;
}

std::string UnixLines(const std::wstring& text) {
  std::wstring out;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n')) out += text[i];
  return Utf8(out);
}

struct Search {
  std::wstring title;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectByTitle(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  if (IsWindowVisible(hwnd) && WindowText(hwnd) == search->title) search->found.push_back(hwnd);
  return TRUE;
}

std::vector<HWND> WindowsTitled(const std::wstring& title) {
  Search search{title, {}};
  EnumWindows(CollectByTitle, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND DialogTitled(const std::wstring& title) {
  for (HWND hwnd : WindowsTitled(title)) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    if (std::wstring(name) == kDialogClass) return hwnd;
  }
  return nullptr;
}

HWND MainWindow() {
  return FindWindowW(kFrameClass, nullptr);
}

// The toolbar sits in its dock, not right in the main window.
HWND Descendant(HWND parent, int id) {
  struct Wanted {
    int id;
    HWND found;
  } wanted{id, nullptr};
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM lParam) -> BOOL {
        auto* w = reinterpret_cast<Wanted*>(lParam);
        if (GetDlgCtrlID(child) != w->id) return TRUE;
        w->found = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&wanted));
  return wanted.found;
}

int Fail(const char* what) {
  std::fprintf(stderr, "window-probe: %s\n", what);
  return 1;
}

int Wait(const std::wstring& title, int seconds) {
  for (int i = 0; i < seconds * 20; ++i) {
    if (!WindowsTitled(title).empty()) return 0;
    Sleep(50);
  }
  return Fail("no such window");
}

// Line breaks and tabs written as C escapes, so each control takes one line.
std::string Escaped(const std::wstring& text) {
  std::wstring out;
  for (wchar_t c : text) {
    if (c == L'\r') {
      out += L"\\r";
    } else if (c == L'\n') {
      out += L"\\n";
    } else if (c == L'\t') {
      out += L"\\t";
    } else if (c == L'\\') {
      out += L"\\\\";
    } else {
      out += c;
    }
  }
  return Utf8(out);
}

int Controls(HWND dialog) {
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t name[64] = {};
    GetClassNameW(child, name, 64);
    // An icon's text is its resource number, not a text.
    const bool icon =
        (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && std::wstring(name) == L"Static";
    const std::string text = icon ? "(icon)" : Escaped(WindowText(child));
    std::printf("%d\t%s\t%s\n", static_cast<short>(GetDlgCtrlID(child)), Utf8(name).c_str(), text.c_str());
  }
  return 0;
}

int AnswerBoxes() {
  for (HWND box : WindowsTitled(kAppTitle)) {
    wchar_t name[64] = {};
    GetClassNameW(box, name, 64);
    if (std::wstring(name) != kDialogClass) continue;
    std::printf("%s\n", UnixLines(WindowText(GetDlgItem(box, kBoxTextId))).c_str());
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // The texts go out as they are, without "\r" added before each "\n".
  _setmode(_fileno(stdout), _O_BINARY);
  const std::string verb = argc > 1 ? argv[1] : "";
  HWND main = MainWindow();
  if (verb == "wait" && argc == 4) return Wait(Wide(argv[2]), std::atoi(argv[3]));
  if (verb == "alive") return main ? 0 : 1;
  if (verb == "boxes") return AnswerBoxes();
  if (verb == "controls" || verb == "press" || verb == "set-text") {
    HWND dialog = argc > 2 ? DialogTitled(Wide(argv[2])) : nullptr;
    if (!dialog) return Fail("no such dialog");
    if (verb == "controls") return Controls(dialog);
    if (argc < 4) return Fail("no control id");
    const int id = std::atoi(argv[3]);
    if (verb == "press") return PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0) ? 0 : 1;
    if (argc < 5) return Fail("no text");
    return SendMessageW(GetDlgItem(dialog, id), WM_SETTEXT, 0,
                        reinterpret_cast<LPARAM>(Wide(argv[4]).c_str()))
               ? 0
               : Fail("the control took no text");
  }
  if (!main) return Fail("no main window");
  if (verb == "title") {
    std::printf("%s\n", Utf8(WindowText(main)).c_str());
  } else if (verb == "transcript") {
    std::printf("%s", UnixLines(WindowText(GetDlgItem(main, kTranscriptId))).c_str());
  } else if (verb == "rect") {
    RECT rect{};
    const std::string which = argc > 2 ? argv[2] : "";
    HWND shown = which == "frame"     ? main
                 : which == "toolbar" ? Descendant(main, kToolbarId)
                                      : GetDlgItem(main, kTranscriptId);
    if (!IsWindowVisible(shown)) return Fail("not shown");
    GetWindowRect(shown, &rect);
    std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  } else if (verb == "command" && argc == 3) {
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(std::atoi(argv[2]), 0), 0);
  } else if (verb == "enabled" && argc == 3) {
    return SendMessageW(Descendant(main, kToolbarId), TB_ISBUTTONENABLED, std::atoi(argv[2]), 0) ? 0 : 1;
  } else if (verb == "progress") {
    HWND bar = Descendant(main, kProgressId);
    if (!bar || !IsWindowVisible(bar)) return 1;
    std::printf("%ld\n", static_cast<long>(SendMessageW(bar, PBM_GETPOS, 0, 0)));
  } else {
    return Fail(
        "usage: window-probe wait|title|transcript|rect|command|enabled|progress|controls|press|set-text|"
        "boxes|alive");
  }
  return 0;
}
