#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/about_dlg.h"
#include "app/packet_tracer.h"
#include "app/trace_save_dlg.h"
#include "device/configuration.h"
#include "device/connection.h"
#include "device/db_management.h"
#include "device/firmware_transfer.h"
#include "device/log_download.h"
#include "device/matching.h"
#include "device/module_outcome.h"
#include "device/record_transfer.h"
#include "device/registration.h"
#include "device/system_management.h"
#include "link/model_table.h"
#include "link/packet_manager_wnd.h"
#include "platform/dialog_model.h"
#include "platform/message_loop.h"
#include "platform/native_file.h"
#include "platform/ui_host.h"
#include "platform/writable_folder.h"
#include "ui/basic_dlg.h"
#include "ui/db_dlg.h"
#include "ui/image_dlg.h"
#include "ui/popup_id_dlg.h"
#include "ui/popup_msg_dlg.h"
#include "ui/popup_progress_dlg.h"
#include "ui/popup_radio_dlg.h"
#include "ui/system_dlg.h"
#include "ui/user_dlg.h"

namespace sondrix {

// The main window: six tab pages, the packet tracer, the message line. It
// owns the packet manager, the five response handlers, the popups and the
// state every page reads, receives every notification of the packet manager
// and hands each answer to the handler of its command group.
class CSondrixDlg : public CDialogModel, public CWindow, public IPacketManagerOwner {
  public:
    // Controls of the main window.
    static constexpr int kTabs = 1001;
    static constexpr int kTracer = 1002;
    static constexpr int kMessageLine = 1003;
    static constexpr int kHeader = 1004;
    static constexpr int kPktClear = 1160;

    enum ETab { kTabMain, kTabAuthUser, kTabConfiguration, kTabDataBase, kTabExtra, kTabAbout };
    static constexpr int kTabCount = 6;

    // The maker's web page, opened by a double click on the header picture.
    static constexpr const char* kMakerAddress = "https://www.sondrix.example/hlx";

    CSondrixDlg(CMessageLoop& loop, ISerialDeviceFactory& devices, IUiHost& ui);
    ~CSondrixDlg() override;

    // Builds the window as the program starts: the compact-layout rule, the
    // packet manager, the tabs and the tracer columns.
    void OnInitDialog() override;

    // The message line.
    void ShowMessage(const std::string& text);
    // A text on the message line and in a box with `icon`.
    void Report(const std::string& text, EIcon icon);
    // The common error report: the result's text on the message line and in
    // a stop-icon box, and a failure outcome of the answer being handled.
    void ShowResultError(uint32_t code);
    // A failure of the work under way: `text` as a stop report and as the
    // failure outcome of the answer being handled (or of the program's own
    // step when none is).
    void Fail(const std::string& text, EFailure failure = EFailure::Module);
    // The failure outcome alone, for a refusal the caller shows its own way.
    void FailureOutcome(const std::string& text, EFailure failure);

    // Outcomes. Every observer sees each one; an outcome without a command
    // takes the command and result of the answer being handled.
    void AddOutcomeObserver(IOutcomeObserver* observer);
    void RemoveOutcomeObserver(IOutcomeObserver* observer);
    void Outcome(SOutcome outcome);
    // A question of a sequence: the person answers it in a box, unless a
    // program has taken the questions over. True for OK or Yes.
    using QuestionAnswerer = std::function<bool(EQuestion)>;
    bool Ask(EQuestion question);
    void SetQuestionAnswerer(QuestionAnswerer answerer) { m_answerer = std::move(answerer); }
    // A program that owns its requests decides which answers are handled at
    // all; one it refuses is traced and goes no further.
    using AnswerGate = std::function<bool(const CPacket&)>;
    void SetAnswerGate(AnswerGate gate) { m_gate = std::move(gate); }
    // Called before a file of the program's own goes into `folder`: the
    // per-user folder is created when missing and, the first time in this run
    // that it takes a file, named on the message line. False with the
    // system's reason when it cannot be created.
    bool PrepareFolder(const CFilePath& folder, std::string& reason);
    // "Downloaded records and colour images are kept in FOLDER" when
    // `folder` is the per-user folder, else empty: beside the program, files
    // go where a person looks for them.
    std::string FolderNote(const CFilePath& folder) const;

    // Tabs. SelectTab is the person's tab change with its guards; ShowTab
    // switches without them (pages use it to land on a tab).
    void SelectTab(int tab);
    void ShowTab(int tab);
    int CurrentTab() const { return m_currentTab; }
    CPageBase& Page(int tab);
    void OpenMakerPage();

    IUiHost& Ui() { return m_ui; }
    CPacketManagerWnd& PacketManager() { return m_packetManager; }
    CPacketTracer& Tracer() { return m_tracer; }
    // Every chunk the port read or wrote lately, for a trace with the raw line.
    CRawLineLog& RawLine() { return m_rawLine; }
    // What the window keeps of the raw line: enough for the tracer's rows in
    // all but image and firmware sessions (about 10 minutes of a busy line at
    // 115200 bps); older chunks go first.
    static constexpr size_t kRawLineCapacity = 8 * 1024 * 1024;

    // IPacketManagerOwner
    int IdLength() const override { return idLength; }
    int PasswordLength() const override { return passwordLength; }
    int DefaultTemplateSize() const override;
    int ModificationKind() const override { return modificationKind; }

    LRESULT WindowProc(uint32_t message, WPARAM wparam, LPARAM lparam) override;

    // Shared state.
    int moduleConnected = 0;
    int portOpen = 0;
    int masterMode = 0;
    int continuousCapture = 0;
    int autoOnMode = 0;
    int connectPending = 0;
    int transferBusy = 0;
    int smallScreen = 0;
    uint32_t baudRate = 9600;
    std::string portName;
    uint32_t modelCode = kModelHlxM18;
    int moduleSeries = 5;
    uint32_t firmwareVersion = 0;
    uint32_t emulationMode = 255;
    int idLength = 16;
    int passwordLength = 16;
    int templateCount = 2;
    // The module's template mode: system option 3, read on demand. Modules
    // leave the factory in mode 2 (two templates of one finger), and the
    // modules that never report it register in that mode.
    int templateMode = 2;
    int traceRows = 0;
    // Every packet reaches the tracer's observer whatever the tracer mode
    // (a program's trace must be complete).
    int traceEverything = 0;
    int pendingRawResponse = 0;
    // Modification kind chosen on the Authentication&User page.
    int modificationKind = 0;
    // The Main tab's flag that makes the next capture answer go again.
    int repeatCapture = 0;
    // Set by the Cancel buttons: the next image answer reports the cancel.
    int cancelPending = 0;
    // Where downloaded records and the colour capture go (the pages are
    // made after it and take their folders from it).
    SWritableFolder writableFolder = WritableFolderOfThisProgram();

    // Popups, one of each for the whole run.
    CPopupMsgDlg popupMsg;
    CPopupIdDlg popupId;
    CPopupProgressDlg popupProgress;
    CPopupRadioDlg popupRadio;

    // Response handlers.
    CConnection connection;
    CMatching matching;
    CDBManagement dbManagement;
    CConfiguration configuration;
    CSystemManagement systemManagement;
    // Sequences.
    CRegistration registration{*this};
    CRecordTransfer records{*this};
    CFirmwareTransfer firmware{*this};
    CLogDownload logDownload{*this};

    // Pages.
    CImageDlg imageDlg;
    CBasicDlg basicDlg;
    CSystemDlg systemDlg;
    CDbDlg dbDlg;
    CUserDlg userDlg;
    CAboutDlg aboutDlg;
    CTraceSaveDlg traceSaveDlg;

  protected:
    void OnCommand(int id) override;
    void OnSelChange(int id) override;

  private:
    void OnAnswer(uint32_t notification, CPacket& packet);
    void Dispatch(uint32_t notification, CPacket& packet);
    // The first guard that refuses the tab, with its text and the tab it
    // sends the person to; none when the tab may open.
    bool Guard(int tab);
    void Refuse(const std::string& text, EIcon icon, int landOn);

    IUiHost& m_ui;
    std::vector<IOutcomeObserver*> m_outcomeObservers;
    QuestionAnswerer m_answerer;
    AnswerGate m_gate;
    // The answer being handled, for the outcomes it leads to.
    const CPacket* m_answer = nullptr;
    CRawLineLog m_rawLine{kRawLineCapacity};
    CPacketManagerWnd m_packetManager;
    CPacketTracer m_tracer;
    int m_currentTab = kTabMain;
    bool m_folderNamed = false;
};

}  // namespace sondrix
