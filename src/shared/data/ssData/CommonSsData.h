#pragma once

#include <string>

// Base of every catalogue entry: the entry's name. Header-only, because the control link uses
// catalogue entries without linking the catalogue library.
class CCommonSsData {
public:
    explicit CCommonSsData(const char* label) : m_Label(label != nullptr ? label : "") {}
    virtual ~CCommonSsData() = default;

    CCommonSsData(const CCommonSsData&) = delete;
    CCommonSsData& operator=(const CCommonSsData&) = delete;

    const std::string& GetLabel() const { return m_Label; }

protected:
    std::string m_Label;
};
