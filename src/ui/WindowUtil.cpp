// Small window helpers (see WindowUtil.h).
#include "ui/WindowUtil.h"

#include "win32/WideText.h"

#include <cwchar>
#include <vector>

namespace {

int PlaceWithin(int centre, int size, int low, int high)
{
    int start = centre - size / 2;
    if (start < low)
        start = low;
    else if (start + size > high)
        start = high - size;
    return start;
}

} // namespace

void CenterWindow(HWND window, HWND owner)
{
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT area = work;
    if (owner && IsWindowVisible(owner) && !IsIconic(owner))
        GetWindowRect(owner, &area);
    RECT rect = {};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const int left = PlaceWithin((area.left + area.right) / 2, width, work.left, work.right);
    const int top = PlaceWithin((area.top + area.bottom) / 2, height, work.top, work.bottom);
    SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string ControlText(HWND control)
{
    // The length may be larger than the text; what was read counts.
    const int length = GetWindowTextLengthW(control);
    if (length <= 0)
        return std::string();
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
    const int read = GetWindowTextW(control, buffer.data(), length + 1);
    return Narrow(buffer.data(), read > 0 ? static_cast<std::size_t>(read) : 0);
}

void EnableControl(HWND dialog, int id, bool enabled)
{
    if (HWND control = GetDlgItem(dialog, id))
        EnableWindow(control, enabled ? TRUE : FALSE);
}

std::string ReadProductString(const std::string& filePath, const std::string& fieldName)
{
    const std::wstring path = Widen(filePath);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0)
        return std::string();
    std::vector<char> block(size, '\0');
    if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data()))
        return std::string();
    void* translation = nullptr;
    UINT translationLength = 0;
    if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &translation, &translationLength) ||
        translationLength < 4)
        return std::string();
    const WORD* pair = static_cast<const WORD*>(translation);
    wchar_t prefix[64];
    std::swprintf(prefix, sizeof prefix / sizeof prefix[0], L"\\StringFileInfo\\%04x%04x\\", pair[0], pair[1]);
    const std::wstring query = prefix + Widen(fieldName);
    void* value = nullptr;
    UINT valueLength = 0;
    if (!VerQueryValueW(block.data(), query.c_str(), &value, &valueLength) || value == nullptr)
        return std::string();
    return NarrowZ(static_cast<const wchar_t*>(value));
}
