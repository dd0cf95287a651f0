// The program's language file on Windows: where it lies, the lookup of texts
// through it, and the translation of windows and menus whose texts are keys.
// Every text here is UTF-8. The file is an INI file: the shipped one is
// written in the system's ANSI code page, and a file that starts with the
// UTF-16 LE byte-order mark may hold a language of any script.
#pragma once

#include <windows.h>

#include <string>

// Makes `path` the language file of every later lookup. Called once at start,
// before any window or worker exists.
void SetLanguageFile(const std::string& path);
const std::string& LanguageFile();

// The language file's text for `key`, or the key itself when the file has
// none (or only blanks) for it. At most 65,534 characters of a text are read.
std::string LookupText(const std::string& key, bool expandEscapes = false);

// Replaces the text of the window and of every descendant by its language
// text, with escapes expanded.
void TranslateWindow(HWND window);
// Replaces the text of every menu item, submenus first, without expansion.
void TranslateMenu(HMENU menu);

// A message box captioned with the text of "_Quorvane".
int ShowMessage(HWND owner, const std::string& text, UINT flags);
