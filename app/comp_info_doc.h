// The component-information window's document: one eigentriple's vectors, its
// reconstructed series over the original and its test record, as the
// interactive summation hands them over.
#pragma once

#include <string>
#include <vector>

#include "app/document.h"
#include "app/summ_interact_doc.h"

class CCompInfoDoc : public document {
public:
    explicit CCompInfoDoc(component_info info);

    const component_info& info() const { return m_info; }
    bool get_two_scales() const { return m_two_scales; }
    void set_two_scales(bool on);

    // The text column beside the plots, one entry per line.
    std::vector<std::string> text_lines() const;

private:
    component_info m_info;
    bool m_two_scales = false;
};
