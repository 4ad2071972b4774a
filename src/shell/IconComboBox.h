#pragma once

#include <QPointer>
#include <string>

#include "ui/controls.h"

// A drop list whose items are pictures (the line markers of the plot screens). Items loaded
// by picture id carry the text "Sample", items loaded from a file their path. Text items are
// refused: the list holds icons only.
class CIconComboBox {
public:
    CIconComboBox() = default;
    explicit CIconComboBox(ui::IconCombo* control) : control_(control) {}

    void Attach(ui::IconCombo* control) { control_ = control; }
    ui::IconCombo* control() const { return control_; }

    // Index of the new item, or -1 when the icon cannot be had (nothing is added).
    int AddIcon(unsigned iconId);
    int AddIcon(const std::string& path);
    int InsertIcon(int index, const std::string& path);

    // The item's text: "Sample" or the path.
    std::string GetText(int index) const;
    int GetCount() const;
    int GetCurSel() const;

    void SelectIcon(int index);
    // The item with this exact text; an unknown text in a non-empty list selects item 0.
    void SelectIcon(const std::string& text);
    void DeleteIcon(int index);
    void DeleteIcon(const std::string& text);

    // Refused: -1 and an internal-error trace.
    int AddString(const std::string& text);
    int InsertString(int index, const std::string& text);
    int Dir(const std::string& wildCard);

private:
    int FindExact(const std::string& text) const;

    QPointer<ui::IconCombo> control_;
};
