#include "win32/LogView.h"

#include "win32/ResourceIds.h"
#include "win32/WideText.h"

namespace {

constexpr COLORREF kOkColour = RGB(128, 255, 128);
constexpr COLORREF kFailureColour = RGB(255, 128, 128);
// The control's own default limit (32K) would cut a long transcript short
// of what the core holds between its trims.
constexpr LPARAM kTextLimit = 1 << 20;
// More lines than any transcript has: ends the scroll loop whatever the
// control answers.
constexpr int kMaxScrollSteps = 100000;

// The control counts UTF-16 units where the core counts UTF-8 bytes, and
// keeps one character per paragraph break, so each "\r\n" counts once.
LONG ControlIndex(const std::string& text, std::size_t modelIndex) {
  const std::wstring before = WideFromUtf8(text.substr(0, modelIndex));
  LONG pairs = 0;
  for (std::size_t i = 0; i + 1 < before.size(); ++i)
    if (before[i] == L'\r' && before[i + 1] == L'\n') ++pairs;
  return static_cast<LONG>(before.size()) - pairs;
}

}  // namespace

bool CWinLogView::Create(HWND parent, HINSTANCE instance) {
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                      ES_READONLY | ES_WANTRETURN;
  hwnd_ = CreateWindowExW(0, MSFTEDIT_CLASS, L"", style, 0, 0, 0, 0, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDW_TRANSCRIPT)), instance, nullptr);
  if (!hwnd_) return false;
  SendMessageW(hwnd_, EM_EXLIMITTEXT, 0, kTextLimit);
  return true;
}

void CWinLogView::Show(const CTranscript& transcript, const TranscriptChange& change) {
  const std::string& text = transcript.Text();
  switch (change.kind) {
    case TranscriptChange::Appended:
      ReplaceTail(TextLength(), change.text);
      break;
    case TranscriptChange::LastLineReplaced:
      ReplaceTail(ControlIndex(text, text.size() - change.text.size()), change.text);
      break;
    case TranscriptChange::Replaced:
      SetWindowTextW(hwnd_, WideFromUtf8(text).c_str());
      break;
  }
}

LONG CWinLogView::TextLength() const {
  GETTEXTLENGTHEX length{GTL_NUMCHARS, 1200};
  return static_cast<LONG>(SendMessageW(hwnd_, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
}

void CWinLogView::ReplaceTail(LONG start, const std::string& text) {
  CHARRANGE range{start, TextLength()};
  SendMessageW(hwnd_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  const std::wstring wide = WideFromUtf8(text);
  SendMessageW(hwnd_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide.c_str()));
}

void CWinLogView::ScrollToEnd(int pixelsPerInch) {
  const LPARAM end = TextLength();
  RECT client{};
  GetClientRect(hwnd_, &client);
  const LONG height = client.bottom - client.top;
  CHARFORMATW format{};
  format.cbSize = sizeof(format);
  SendMessageW(hwnd_, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
  const LONG line = MulDiv(format.yHeight, pixelsPerInch, 1440);
  POINTL position{};
  SendMessageW(hwnd_, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&position), end);
  // One line at a time until the end's line is whole in view; a line
  // scroll that moves nothing (a window lower than a line) ends it too.
  for (int step = 0; step < kMaxScrollSteps && height - line < position.y; ++step) {
    const LONG before = position.y;
    SendMessageW(hwnd_, EM_LINESCROLL, 0, 1);
    SendMessageW(hwnd_, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&position), end);
    if (position.y == before) break;
  }
}

void CWinLogView::SetStatusColour(StatusColour colour) {
  SendMessageW(hwnd_, EM_SETBKGNDCOLOR, 0, colour == StatusColour::Ok ? kOkColour : kFailureColour);
}
