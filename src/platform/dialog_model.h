#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace sondrix {

// Standard button ids of dialogs.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

enum class EControlKind {
    Button,
    CheckBox,
    Radio,
    Edit,
    Static,
    Combo,     // drop-down list
    List,      // report list (rows of cells, optional check boxes)
    Picture,   // custom-drawn area (image, About picture)
    Progress,  // gradient progress bar
    Tabs,      // tab control: items are the tab captions, selection the current tab
};

// One control of a page or popup, keyed by its id.
struct SControl {
    int id = 0;
    EControlKind kind = EControlKind::Static;
    std::string text;   // caption, or the text of an edit
    std::string label;  // label shown beside edits, lists and values
    std::string group;  // caption of the group box the control sits in
    std::string tooltip;
    bool enabled = true;
    bool visible = true;
    bool checked = false;
    bool password = false;
    bool readOnly = false;
    size_t limit = 0;  // edits: maximum characters (0: none)
    std::vector<std::string> items;
    int selection = -1;
};

// Rows of a report list. Views observe changes row by row so that a list of
// a thousand rows is never rebuilt for one new row.
class CListData {
  public:
    struct SColumn {
        std::string heading;
        int width = 0;
    };
    struct SRow {
        std::vector<std::string> cells;
        bool checked = false;
        std::string tooltip;
    };
    struct IObserver {
        virtual ~IObserver() = default;
        virtual void OnReset() = 0;  // columns or all rows changed
        virtual void OnRowsAppended(size_t first, size_t count) = 0;
        virtual void OnRowsRemoved(size_t first, size_t count) = 0;
        virtual void OnRowChanged(size_t row) = 0;
    };

    void SetColumns(std::vector<SColumn> columns);
    const std::vector<SColumn>& Columns() const { return m_columns; }
    size_t RowCount() const { return m_rows.size(); }
    const SRow& Row(size_t row) const { return m_rows[row]; }
    void AppendRow(SRow row);
    void RemoveFirstRows(size_t count);
    void RemoveRow(size_t row);
    void Clear();
    void SetCell(size_t row, size_t column, std::string text);
    void SetChecked(size_t row, bool checked);
    void SetObserver(IObserver* observer) { m_observer = observer; }

  private:
    std::vector<SColumn> m_columns;
    std::vector<SRow> m_rows;
    IObserver* m_observer = nullptr;
};

// A page or popup as a set of controls, with the handlers a dialog has.
// Tests, the headless driver and the Qt views all act through Click, Type and
// Select, and read the controls back; the handlers hold all behaviour.
class CDialogModel {
  public:
    CDialogModel(std::string name, std::string caption);
    virtual ~CDialogModel();
    CDialogModel(const CDialogModel&) = delete;
    CDialogModel& operator=(const CDialogModel&) = delete;

    const std::string& Name() const { return m_name; }
    const std::string& Caption() const { return m_caption; }

    // Controls, in creation order (the views lay them out in this order).
    SControl& AddControl(SControl control);
    SControl& AddControl(int id, EControlKind kind);
    SControl& AddButton(int id, std::string caption, std::string group, std::string tooltip = {});
    SControl& AddCheck(int id, std::string caption, std::string group, std::string tooltip = {});
    SControl& AddRadio(int id, std::string caption, std::string group, std::string tooltip = {});
    SControl& AddEdit(int id, std::string label, std::string group, size_t limit = 0);
    SControl& AddStatic(int id, std::string label, std::string group, std::string text = {});
    SControl& AddCombo(int id, std::string label, std::string group,
                       std::vector<std::string> items);
    const std::vector<int>& ControlIds() const { return m_order; }
    bool Has(int id) const { return m_controls.count(id) != 0; }
    const SControl& Control(int id) const;
    CListData& List(int id);

    std::string Text(int id) const { return Control(id).text; }
    bool IsEnabled(int id) const { return Control(id).enabled; }
    bool IsVisible(int id) const { return Control(id).visible; }
    bool IsChecked(int id) const { return Control(id).checked; }
    int Selection(int id) const { return Control(id).selection; }

    void SetText(int id, std::string text);
    void Enable(int id, bool enabled);
    void Show(int id, bool visible);
    void SetCheck(int id, bool checked);
    void SetItems(int id, std::vector<std::string> items);
    void SetSelection(int id, int index);
    void SetTooltip(int id, std::string tooltip);
    void SetLimit(int id, size_t limit);
    void SetPassword(int id, bool password);

    // What the person does. Each ignores a control that is disabled or hidden,
    // as a real dialog would.
    void Click(int id);
    void Type(int id, const std::string& text);
    void Select(int id, int index);

    // The whole dialog enabled or not (a modeless popup disables its owner).
    bool IsWindowEnabled() const { return m_windowEnabled; }
    void EnableWindow(bool enabled);

    // Modal and modeless life: a popup's handlers end it with EndDialog.
    virtual void OnInitDialog() {}
    void EndDialog(int result);
    bool Ended() const { return m_ended; }
    int Result() const { return m_result; }
    void ResetEnded() { m_ended = false; }

    // Views and the headless driver learn of every change here. One model
    // may be watched several times (the About page is shown in its tab and in
    // the About box); an observer removed while others run is not called.
    using Observer = std::function<void(int id)>;  // id 0: several controls
    int AddObserver(Observer observer);
    void RemoveObserver(int token);

  protected:
    virtual void OnCommand(int id) { (void)id; }
    virtual void OnEditChange(int id) { (void)id; }
    virtual void OnSelChange(int id) { (void)id; }
    SControl& Mutable(int id);
    void Changed(int id);

  private:
    std::string m_name;
    std::string m_caption;
    std::map<int, SControl> m_controls;
    std::vector<int> m_order;
    std::map<int, std::unique_ptr<CListData>> m_lists;
    bool m_windowEnabled = true;
    bool m_ended = false;
    int m_result = 0;
    std::vector<std::pair<int, Observer>> m_observers;
    int m_nextObserver = 1;
};

// Watches a model for as long as it lives; it must not outlive the model.
class CDialogObserver {
  public:
    CDialogObserver(CDialogModel& model, CDialogModel::Observer observer)
        : m_model(model), m_token(model.AddObserver(std::move(observer))) {}
    ~CDialogObserver() { m_model.RemoveObserver(m_token); }
    CDialogObserver(const CDialogObserver&) = delete;
    CDialogObserver& operator=(const CDialogObserver&) = delete;

  private:
    CDialogModel& m_model;
    int m_token;
};

}  // namespace sondrix
