// config.xml through the XML document component (see SettingsDocument.h).
#include "win32/SettingsDocument.h"

#include "win32/ProgramPaths.h"

#include <oleauto.h>

#include <vector>

namespace {

const CLSID kClsidDomDocument = {0x2933BF90, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
const IID kIidXmlDomDocument = {0x2933BF81, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
const IID kIidXmlDomElement = {0x2933BF86, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
constexpr DWORD kComContext = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER;

// A BSTR made from ANSI text, freed when it goes.
class WideText {
public:
    explicit WideText(const std::string& text)
    {
        const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
        text_ = SysAllocStringLen(nullptr, static_cast<UINT>(length));
        if (text_ && length > 0)
            MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), text_, length);
    }
    ~WideText() { SysFreeString(text_); }
    WideText(const WideText&) = delete;
    WideText& operator=(const WideText&) = delete;
    BSTR Get() const { return text_; }
    explicit operator bool() const { return text_ != nullptr; }

private:
    BSTR text_ = nullptr;
};

std::string ToAnsi(const wchar_t* text, int length)
{
    if (!text || length <= 0)
        return std::string();
    const int size = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, length, &out[0], size, nullptr, nullptr);
    return out;
}

// A VARIANT cleared when it goes.
class Variant {
public:
    Variant() { VariantInit(&value_); }
    ~Variant() { VariantClear(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    VARIANT* Get() { return &value_; }

private:
    VARIANT value_;
};

} // namespace

std::string SettingsFilePath()
{
    return ProgramFolder() + "\\config.xml";
}

void SettingsDocument::Open(const std::string& path)
{
    path_.clear();
    if (FAILED(CoCreateInstance(kClsidDomDocument, nullptr, kComContext, kIidXmlDomDocument,
                                document_.ReceiveVoid())))
        return;
    document_->put_async(VARIANT_FALSE);
    // Keep the file's own layout when it is written back.
    document_->put_preserveWhiteSpace(VARIANT_TRUE);
    WideText widePath(path);
    if (!widePath)
        return;
    Variant source;
    source.Get()->vt = VT_BSTR;
    source.Get()->bstrVal = SysAllocString(widePath.Get());
    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (SUCCEEDED(document_->load(*source.Get(), &loaded)) && loaded == VARIANT_TRUE)
        path_ = path;
}

ComPtr<IXMLDOMElement> SettingsDocument::SelectNode(const std::string& elementPath) const
{
    ComPtr<IXMLDOMElement> element;
    if (!document_ || !IsLoaded())
        return element;
    WideText query(elementPath);
    ComPtr<IXMLDOMNode> node;
    if (!query || document_->selectSingleNode(query.Get(), node.Receive()) != S_OK || !node)
        return element;
    node->QueryInterface(kIidXmlDomElement, element.ReceiveVoid());
    return element;
}

std::string SettingsDocument::GetAttribute(IXMLDOMElement* element, const std::string& name) const
{
    if (!element || !IsLoaded())
        return std::string();
    WideText wideName(name);
    Variant value;
    if (!wideName || element->getAttribute(wideName.Get(), value.Get()) != S_OK ||
        value.Get()->vt != VT_BSTR)
        return std::string();
    return ToAnsi(value.Get()->bstrVal, static_cast<int>(SysStringLen(value.Get()->bstrVal)));
}

bool SettingsDocument::SetAttribute(IXMLDOMElement* element, const std::string& name,
                                    const std::string& value)
{
    if (!element || !IsLoaded())
        return false;
    WideText wideName(name);
    WideText wideValue(value);
    if (!wideName || !wideValue)
        return false;
    Variant text;
    text.Get()->vt = VT_BSTR;
    text.Get()->bstrVal = SysAllocString(wideValue.Get());
    if (value.empty() && !text.Get()->bstrVal)
        text.Get()->bstrVal = SysAllocStringLen(nullptr, 0);
    return SUCCEEDED(element->setAttribute(wideName.Get(), *text.Get()));
}

bool SettingsDocument::Save()
{
    if (!document_ || !IsLoaded())
        return false;
    WideText widePath(path_);
    Variant target;
    target.Get()->vt = VT_BSTR;
    target.Get()->bstrVal = SysAllocString(widePath.Get());
    return SUCCEEDED(document_->save(*target.Get()));
}

std::vector<std::string> ReadSettings(const std::vector<std::string>& elementPaths,
                                      const std::string& attribute)
{
    std::vector<std::string> values;
    SettingsDocument document;
    document.Open(SettingsFilePath());
    for (const std::string& path : elementPaths) {
        ComPtr<IXMLDOMElement> element = document.SelectNode(path);
        values.push_back(document.GetAttribute(element.Get(), attribute));
    }
    return values;
}

void WriteSettings(const std::vector<std::pair<std::string, std::string>>& customValues)
{
    SettingsDocument document;
    document.Open(SettingsFilePath());
    if (!document.IsLoaded())
        return;
    for (const auto& entry : customValues) {
        ComPtr<IXMLDOMElement> element = document.SelectNode(entry.first);
        document.SetAttribute(element.Get(), "custom", entry.second);
    }
    document.Save();
}
