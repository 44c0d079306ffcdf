// Win32 host: a real window with one label, and message boxes it owns.
#include <windows.h>
#include <shellapi.h>

#include <iostream>
#include <string>

#include "platform/platform.h"

namespace sc::piattaforma {

namespace {

constexpr const char* titolo = "scenario-compiler";
constexpr const char* classe = "Form1";

// The window of the run, once shown: it owns every message box.
HWND finestra = nullptr;

std::wstring largo(const std::string& utf8) {
  if (utf8.empty()) return {};
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
  std::wstring w(std::size_t(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), w.data(), n);
  return w;
}

void scatola(const std::string& testo, UINT stile) {
  MessageBoxW(finestra, largo(testo).c_str(), largo(titolo).c_str(), stile | (finestra ? MB_APPLMODAL : MB_TASKMODAL));
}

// Twips to pixels at the screen's resolution.
int pixel_x(HDC dc, int twip) { return MulDiv(twip, GetDeviceCaps(dc, LOGPIXELSX), 1440); }
int pixel_y(HDC dc, int twip) { return MulDiv(twip, GetDeviceCaps(dc, LOGPIXELSY), 1440); }

LRESULT CALLBACK procedura(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  return DefWindowProcA(w, msg, wp, lp);
}

}  // namespace

void mostra_attesa() {
  HINSTANCE istanza = GetModuleHandleA(nullptr);
  WNDCLASSA wc{};
  wc.lpfnWndProc = procedura;
  wc.hInstance = istanza;
  wc.hCursor = LoadCursor(nullptr, IDC_WAIT);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = classe;
  RegisterClassA(&wc);

  HDC schermo = GetDC(nullptr);
  // Client area 4200 x 2688 twips; the label at 960/960, 2652 x 792 twips.
  RECT area{0, 0, pixel_x(schermo, 4200), pixel_y(schermo, 2688)};
  const DWORD stile = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  AdjustWindowRect(&area, stile, FALSE);
  finestra = CreateWindowA(classe, titolo, stile, CW_USEDEFAULT, CW_USEDEFAULT, area.right - area.left,
                           area.bottom - area.top, nullptr, nullptr, istanza, nullptr);
  HWND etichetta = CreateWindowA("STATIC", "Attendere", WS_CHILD | WS_VISIBLE | SS_LEFT, pixel_x(schermo, 960),
                                 pixel_y(schermo, 960), pixel_x(schermo, 2652), pixel_y(schermo, 792), finestra,
                                 nullptr, istanza, nullptr);
  // "MS Sans Serif" 24 point bold, not italic, not underlined, character set 0.
  HFONT carattere = CreateFontA(-MulDiv(24, GetDeviceCaps(schermo, LOGPIXELSY), 72), 0, 0, 0, FW_BOLD, FALSE,
                                FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
  ReleaseDC(nullptr, schermo);
  SendMessageA(etichetta, WM_SETFONT, reinterpret_cast<WPARAM>(carattere), TRUE);
  ShowWindow(finestra, SW_SHOWNORMAL);
  // Painted once, before the long work; no input is processed afterwards.
  UpdateWindow(finestra);
  UpdateWindow(etichetta);
}

void mostra_messaggio(const std::string& testo) { scatola(testo, MB_OK); }

void mostra_guasto(const std::string& testo) {
  // A program started from the desktop has no standard error to read.
  if (finestra) {
    scatola(testo, MB_OK | MB_ICONERROR);
  } else {
    std::cerr << testo << "\n" << std::flush;
  }
}

std::filesystem::path cartella_programma() {
  // Wide characters: a folder name outside the ANSI code page stays whole.
  std::wstring percorso(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, percorso.data(), DWORD(percorso.size()));
    if (n == 0) return ".";
    if (n < percorso.size()) {
      percorso.resize(n);
      break;
    }
    percorso.resize(percorso.size() * 2);
  }
  auto ultimo = percorso.find_last_of(L'\\');
  return ultimo == std::wstring::npos ? std::filesystem::path(".") : std::filesystem::path(percorso.substr(0, ultimo));
}

std::vector<std::string> argomenti(int, char**) {
  int n = 0;
  wchar_t** w = CommandLineToArgvW(GetCommandLineW(), &n);
  std::vector<std::string> r;
  for (int i = 1; w && i < n; ++i) {
    const int lungo = WideCharToMultiByte(CP_UTF8, 0, w[i], -1, nullptr, 0, nullptr, nullptr);
    std::string a(std::size_t(lungo > 0 ? lungo - 1 : 0), '\0');
    if (lungo > 1) WideCharToMultiByte(CP_UTF8, 0, w[i], -1, a.data(), lungo, nullptr, nullptr);
    r.push_back(std::move(a));
  }
  LocalFree(w);
  return r;
}

char separatore() { return '\\'; }

}  // namespace sc::piattaforma
