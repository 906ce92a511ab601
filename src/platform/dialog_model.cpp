#include "platform/dialog_model.h"

#include <algorithm>
#include <stdexcept>

namespace sondrix {

void CListData::SetColumns(std::vector<SColumn> columns) {
    m_columns = std::move(columns);
    m_rows.clear();
    if (m_observer) {
        m_observer->OnReset();
    }
}

void CListData::AppendRow(SRow row) {
    m_rows.push_back(std::move(row));
    if (m_observer) {
        m_observer->OnRowsAppended(m_rows.size() - 1, 1);
    }
}

void CListData::RemoveFirstRows(size_t count) {
    count = std::min(count, m_rows.size());
    if (count == 0) {
        return;
    }
    m_rows.erase(m_rows.begin(), m_rows.begin() + static_cast<std::ptrdiff_t>(count));
    if (m_observer) {
        m_observer->OnRowsRemoved(0, count);
    }
}

void CListData::RemoveRow(size_t row) {
    if (row >= m_rows.size()) {
        return;
    }
    m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(row));
    if (m_observer) {
        m_observer->OnRowsRemoved(row, 1);
    }
}

void CListData::Clear() {
    m_rows.clear();
    if (m_observer) {
        m_observer->OnReset();
    }
}

void CListData::SetCell(size_t row, size_t column, std::string text) {
    if (row >= m_rows.size()) {
        return;
    }
    auto& cells = m_rows[row].cells;
    if (cells.size() <= column) {
        cells.resize(column + 1);
    }
    cells[column] = std::move(text);
    if (m_observer) {
        m_observer->OnRowChanged(row);
    }
}

void CListData::SetChecked(size_t row, bool checked) {
    if (row >= m_rows.size()) {
        return;
    }
    m_rows[row].checked = checked;
    if (m_observer) {
        m_observer->OnRowChanged(row);
    }
}

CDialogModel::CDialogModel(std::string name, std::string caption)
    : m_name(std::move(name)), m_caption(std::move(caption)) {}

CDialogModel::~CDialogModel() = default;

SControl& CDialogModel::AddControl(SControl control) {
    const int id = control.id;
    auto [it, inserted] = m_controls.emplace(id, std::move(control));
    if (!inserted) {
        throw std::logic_error(m_name + ": control " + std::to_string(id) + " added twice");
    }
    m_order.push_back(id);
    if (it->second.kind == EControlKind::List) {
        m_lists.emplace(id, std::make_unique<CListData>());
    }
    return it->second;
}

namespace {

SControl Make(int id, EControlKind kind, std::string text, std::string label, std::string group,
              std::string tooltip = {}) {
    SControl c;
    c.id = id;
    c.kind = kind;
    c.text = std::move(text);
    c.label = std::move(label);
    c.group = std::move(group);
    c.tooltip = std::move(tooltip);
    return c;
}

}  // namespace

SControl& CDialogModel::AddControl(int id, EControlKind kind) {
    return AddControl(Make(id, kind, {}, {}, {}));
}

SControl& CDialogModel::AddButton(int id, std::string caption, std::string group,
                                  std::string tooltip) {
    return AddControl(Make(id, EControlKind::Button, std::move(caption), {}, std::move(group),
                           std::move(tooltip)));
}

SControl& CDialogModel::AddCheck(int id, std::string caption, std::string group,
                                 std::string tooltip) {
    return AddControl(Make(id, EControlKind::CheckBox, std::move(caption), {}, std::move(group),
                           std::move(tooltip)));
}

SControl& CDialogModel::AddRadio(int id, std::string caption, std::string group,
                                 std::string tooltip) {
    return AddControl(Make(id, EControlKind::Radio, std::move(caption), {}, std::move(group),
                           std::move(tooltip)));
}

SControl& CDialogModel::AddEdit(int id, std::string label, std::string group, size_t limit) {
    SControl& c = AddControl(Make(id, EControlKind::Edit, {}, std::move(label), std::move(group)));
    c.limit = limit;
    return c;
}

SControl& CDialogModel::AddStatic(int id, std::string label, std::string group, std::string text) {
    return AddControl(
        Make(id, EControlKind::Static, std::move(text), std::move(label), std::move(group)));
}

SControl& CDialogModel::AddCombo(int id, std::string label, std::string group,
                                 std::vector<std::string> items) {
    SControl& c = AddControl(Make(id, EControlKind::Combo, {}, std::move(label), std::move(group)));
    c.items = std::move(items);
    c.selection = c.items.empty() ? -1 : 0;
    return c;
}

const SControl& CDialogModel::Control(int id) const {
    auto it = m_controls.find(id);
    if (it == m_controls.end()) {
        throw std::out_of_range(m_name + ": no control " + std::to_string(id));
    }
    return it->second;
}

SControl& CDialogModel::Mutable(int id) {
    return const_cast<SControl&>(Control(id));
}

CListData& CDialogModel::List(int id) {
    auto it = m_lists.find(id);
    if (it == m_lists.end()) {
        throw std::out_of_range(m_name + ": control " + std::to_string(id) + " is no list");
    }
    return *it->second;
}

int CDialogModel::AddObserver(Observer observer) {
    const int token = m_nextObserver++;
    m_observers.emplace_back(token, std::move(observer));
    return token;
}

void CDialogModel::RemoveObserver(int token) {
    std::erase_if(m_observers, [token](const auto& entry) { return entry.first == token; });
}

void CDialogModel::Changed(int id) {
    // An observer may close a view and so remove other observers: call only
    // those still registered, from a snapshot of the tokens.
    std::vector<int> tokens;
    for (const auto& entry : m_observers) {
        tokens.push_back(entry.first);
    }
    for (int token : tokens) {
        auto it = std::find_if(m_observers.begin(), m_observers.end(),
                               [token](const auto& entry) { return entry.first == token; });
        if (it != m_observers.end()) {
            const Observer observer = it->second;
            observer(id);
        }
    }
}

void CDialogModel::SetText(int id, std::string text) {
    SControl& c = Mutable(id);
    if (c.text != text) {
        c.text = std::move(text);
        Changed(id);
    }
}

void CDialogModel::Enable(int id, bool enabled) {
    SControl& c = Mutable(id);
    if (c.enabled != enabled) {
        c.enabled = enabled;
        Changed(id);
    }
}

void CDialogModel::Show(int id, bool visible) {
    SControl& c = Mutable(id);
    if (c.visible != visible) {
        c.visible = visible;
        Changed(id);
    }
}

void CDialogModel::SetCheck(int id, bool checked) {
    SControl& c = Mutable(id);
    if (c.checked != checked) {
        c.checked = checked;
        Changed(id);
    }
}

void CDialogModel::SetItems(int id, std::vector<std::string> items) {
    SControl& c = Mutable(id);
    c.items = std::move(items);
    if (c.selection >= static_cast<int>(c.items.size())) {
        c.selection = c.items.empty() ? -1 : 0;
    }
    Changed(id);
}

void CDialogModel::SetSelection(int id, int index) {
    SControl& c = Mutable(id);
    if (index < -1 || index >= static_cast<int>(c.items.size())) {
        return;
    }
    if (c.selection != index) {
        c.selection = index;
        Changed(id);
    }
}

void CDialogModel::SetTooltip(int id, std::string tooltip) {
    Mutable(id).tooltip = std::move(tooltip);
    Changed(id);
}

void CDialogModel::SetLimit(int id, size_t limit) {
    Mutable(id).limit = limit;
    Changed(id);
}

void CDialogModel::SetPassword(int id, bool password) {
    Mutable(id).password = password;
    Changed(id);
}

void CDialogModel::EnableWindow(bool enabled) {
    if (m_windowEnabled != enabled) {
        m_windowEnabled = enabled;
        Changed(0);
    }
}

void CDialogModel::EndDialog(int result) {
    m_result = result;
    m_ended = true;
    Changed(0);
}

void CDialogModel::Click(int id) {
    const SControl& c = Control(id);
    if (!c.enabled || !c.visible || !m_windowEnabled) {
        return;
    }
    if (c.kind == EControlKind::CheckBox) {
        SetCheck(id, !c.checked);
    }
    OnCommand(id);
}

void CDialogModel::Type(int id, const std::string& text) {
    const SControl& c = Control(id);
    if (!c.enabled || !c.visible || c.readOnly || !m_windowEnabled) {
        return;
    }
    // The edit itself refuses characters beyond its limit.
    SetText(id, c.limit != 0 && text.size() > c.limit ? text.substr(0, c.limit) : text);
    OnEditChange(id);
}

void CDialogModel::Select(int id, int index) {
    const SControl& c = Control(id);
    if (!c.enabled || !c.visible || !m_windowEnabled || index < 0 ||
        index >= static_cast<int>(c.items.size())) {
        return;
    }
    // A tab control reports a change only when another tab is chosen.
    if (c.kind == EControlKind::Tabs && index == c.selection) {
        return;
    }
    SetSelection(id, index);
    OnSelChange(id);
}

}  // namespace sondrix
