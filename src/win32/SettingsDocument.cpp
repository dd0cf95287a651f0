// config.xml through the XML document component (see SettingsDocument.h).
#include "win32/SettingsDocument.h"

#include "win32/ProgramPaths.h"
#include "win32/WideText.h"

#include <oleauto.h>

#include <string_view>
#include <utility>
#include <vector>

namespace {

const CLSID kClsidDomDocument = {0x2933BF90, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
const IID kIidXmlDomDocument = {0x2933BF81, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
const IID kIidXmlDomElement = {0x2933BF86, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
constexpr DWORD kComContext = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER;

// A BSTR holding the UTF-16 form of a program text, unit for unit, freed
// when it goes.
class BstrText {
public:
    explicit BstrText(std::string_view text)
    {
        const std::wstring wide = Widen(text);
        text_ = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    }
    ~BstrText() { SysFreeString(text_); }
    BstrText(const BstrText&) = delete;
    BstrText& operator=(const BstrText&) = delete;
    BSTR Get() const { return text_; }
    // Hands the string to a new owner (a VARIANT).
    BSTR Release() { return std::exchange(text_, nullptr); }
    explicit operator bool() const { return text_ != nullptr; }

private:
    BSTR text_ = nullptr;
};

// The program text of a BSTR (which may hold zero units, or be null for
// an empty text).
std::string BstrToText(BSTR text)
{
    return text ? Narrow(text, SysStringLen(text)) : std::string();
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

// The text of a text node that holds nothing but blanks, tabs and line
// breaks; false for any other node.
bool IsLayoutText(IXMLDOMNode* node, std::wstring* text)
{
    DOMNodeType type = NODE_INVALID;
    if (!node || FAILED(node->get_nodeType(&type)) || type != NODE_TEXT)
        return false;
    Variant value;
    if (node->get_nodeValue(value.Get()) != S_OK || value.Get()->vt != VT_BSTR)
        return false;
    const BSTR bytes = value.Get()->bstrVal;
    const std::wstring found(bytes ? bytes : L"", bytes ? SysStringLen(bytes) : 0);
    if (found.find_first_not_of(L" \t\r\n") != std::wstring::npos)
        return false;
    if (text)
        *text = found;
    return true;
}

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
    // The path goes over as wide text, so a folder of any letters is found.
    BstrText widePath(path);
    if (!widePath)
        return;
    Variant source;
    source.Get()->vt = VT_BSTR;
    source.Get()->bstrVal = widePath.Release();
    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (SUCCEEDED(document_->load(*source.Get(), &loaded)) && loaded == VARIANT_TRUE)
        path_ = path;
}

ComPtr<IXMLDOMElement> SettingsDocument::SelectNode(const std::string& elementPath) const
{
    ComPtr<IXMLDOMElement> element;
    if (!document_ || !IsLoaded())
        return element;
    BstrText query(elementPath);
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
    BstrText wideName(name);
    Variant value;
    if (!wideName || element->getAttribute(wideName.Get(), value.Get()) != S_OK ||
        value.Get()->vt != VT_BSTR)
        return std::string();
    return BstrToText(value.Get()->bstrVal);
}

bool SettingsDocument::SetAttribute(IXMLDOMElement* element, const std::string& name,
                                    const std::string& value)
{
    if (!element || !IsLoaded())
        return false;
    BstrText wideName(name);
    BstrText wideValue(value);
    if (!wideName || !wideValue)
        return false;
    Variant text;
    text.Get()->vt = VT_BSTR;
    text.Get()->bstrVal = wideValue.Release();
    return SUCCEEDED(element->setAttribute(wideName.Get(), *text.Get()));
}

bool SettingsDocument::HasAttribute(IXMLDOMElement* element, const std::string& name) const
{
    if (!element || !IsLoaded())
        return false;
    BstrText wideName(name);
    Variant value;
    return wideName && element->getAttribute(wideName.Get(), value.Get()) == S_OK &&
           value.Get()->vt == VT_BSTR;
}

std::vector<ComPtr<IXMLDOMElement>> SettingsDocument::ChildElements(IXMLDOMElement* parent,
                                                                    const std::string& name) const
{
    std::vector<ComPtr<IXMLDOMElement>> children;
    if (!parent || !IsLoaded())
        return children;
    ComPtr<IXMLDOMNodeList> list;
    long count = 0;
    if (parent->get_childNodes(list.Receive()) != S_OK || !list || FAILED(list->get_length(&count)))
        return children;
    for (long i = 0; i < count; ++i) {
        ComPtr<IXMLDOMNode> node;
        DOMNodeType type = NODE_INVALID;
        if (list->get_item(i, node.Receive()) != S_OK || !node || FAILED(node->get_nodeType(&type)) ||
            type != NODE_ELEMENT)
            continue;
        BSTR nodeName = nullptr;
        if (node->get_nodeName(&nodeName) != S_OK)
            continue;
        const bool wanted = BstrToText(nodeName) == name;
        SysFreeString(nodeName);
        if (!wanted)
            continue;
        ComPtr<IXMLDOMElement> element;
        if (SUCCEEDED(node->QueryInterface(kIidXmlDomElement, element.ReceiveVoid())) && element)
            children.push_back(std::move(element));
    }
    return children;
}

ComPtr<IXMLDOMElement> SettingsDocument::AppendElement(
    IXMLDOMElement* parent, const std::string& name,
    const std::vector<std::pair<std::string, std::string>>& attributes)
{
    ComPtr<IXMLDOMElement> element;
    if (!parent || !document_ || !IsLoaded())
        return element;
    BstrText wideName(name);
    if (!wideName || document_->createElement(wideName.Get(), element.Receive()) != S_OK || !element)
        return ComPtr<IXMLDOMElement>();
    for (const auto& attribute : attributes) {
        if (!SetAttribute(element.Get(), attribute.first, attribute.second))
            return ComPtr<IXMLDOMElement>();
    }

    // The layout: the line break and indentation before parent tell how the
    // file is laid out. The new element goes on a line of its own one step
    // deeper, and the closing tag of parent stays on a line of its own.
    std::wstring layout;
    ComPtr<IXMLDOMNode> before;
    const bool indented = parent->get_previousSibling(before.Receive()) == S_OK &&
                          IsLayoutText(before.Get(), &layout) && layout.find(L'\n') != std::wstring::npos;
    std::wstring parentIndent; // the line break and the indentation of parent
    if (indented) {
        const std::size_t lastBreak = layout.rfind(L'\n');
        parentIndent = lastBreak > 0 && layout[lastBreak - 1] == L'\r' ? L"\r\n" : L"\n";
        parentIndent += layout.substr(lastBreak + 1);
    }
    auto addText = [&](const std::wstring& text) {
        ComPtr<IXMLDOMText> node;
        BSTR bytes = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        const HRESULT made = bytes ? document_->createTextNode(bytes, node.Receive()) : E_OUTOFMEMORY;
        SysFreeString(bytes);
        ComPtr<IXMLDOMNode> added;
        return made == S_OK && node && parent->appendChild(node.Get(), added.Receive()) == S_OK;
    };

    if (indented) {
        // The component may merge neighbouring texts, so the layout text
        // before the closing tag is rewritten in place to lead to the new
        // element rather than a text put beside it.
        const std::wstring step = parentIndent.back() == L'\t' ? L"\t" : L"  ";
        ComPtr<IXMLDOMNode> closing;
        bool led = false;
        if (parent->get_lastChild(closing.Receive()) == S_OK && IsLayoutText(closing.Get(), nullptr)) {
            Variant text;
            text.Get()->vt = VT_BSTR;
            const std::wstring lead = parentIndent + step;
            text.Get()->bstrVal = SysAllocStringLen(lead.data(), static_cast<UINT>(lead.size()));
            led = text.Get()->bstrVal && closing->put_nodeValue(*text.Get()) == S_OK;
        }
        if (!led && !addText(parentIndent + step))
            return ComPtr<IXMLDOMElement>();
    }
    ComPtr<IXMLDOMNode> added;
    if (parent->appendChild(element.Get(), added.Receive()) != S_OK)
        return ComPtr<IXMLDOMElement>();
    if (indented)
        addText(parentIndent);
    return element;
}

bool SettingsDocument::RemoveElement(IXMLDOMElement* parent, IXMLDOMElement* child)
{
    if (!parent || !child || !IsLoaded())
        return false;
    ComPtr<IXMLDOMNode> before;
    const bool layoutBefore =
        child->get_previousSibling(before.Receive()) == S_OK && IsLayoutText(before.Get(), nullptr);
    ComPtr<IXMLDOMNode> removed;
    if (parent->removeChild(child, removed.Receive()) != S_OK)
        return false;
    if (layoutBefore) {
        ComPtr<IXMLDOMNode> removedText;
        parent->removeChild(before.Get(), removedText.Receive());
    }
    return true;
}

bool SettingsDocument::Save()
{
    if (!document_ || !IsLoaded())
        return false;
    BstrText widePath(path_);
    if (!widePath)
        return false;
    Variant target;
    target.Get()->vt = VT_BSTR;
    target.Get()->bstrVal = widePath.Release();
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
