#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>

#include "files/bcd_time.h"
#include "ui/page_base.h"
#include "ui/strings_extra.h"

namespace sondrix {

// The Extra Functions tab (dialog 133): custom data blocks, the module clock,
// GPIO, the packet tracer option and the module log.
class CUserDlg : public CPageBase {
  public:
    // Custom data blocks.
    static constexpr int kReadAddress = 1115;
    static constexpr int kReadSize = 1117;
    static constexpr int kReadData = 1118;  // read-only
    static constexpr int kReadButton = 1119;
    static constexpr int kWriteAddress = 1120;
    static constexpr int kWriteSize = 1121;  // read-only, computed
    static constexpr int kWriteData = 1122;
    static constexpr int kWriteButton = 1123;
    static constexpr int kDeleteCustom = 1124;
    static constexpr int kMaxDataSizeNote = 5000;  // "(Maximum data size: 256 Byte)"
    // Time and date.
    static constexpr int kModuleTime = 1031;
    static constexpr int kPcTime = 1032;
    static constexpr int kManualInput = 1041;
    static constexpr int kYear = 1033;
    static constexpr int kMonth = 1034;
    static constexpr int kDay = 1035;
    static constexpr int kHour = 1036;
    static constexpr int kMinute = 1037;
    static constexpr int kSecond = 1038;
    static constexpr int kGetTime = 1040;
    static constexpr int kSetTime = 1039;
    // GPIO.
    static constexpr int kGpioConfigPort = 1150;
    static constexpr int kGpioConfigFunction = 1151;
    static constexpr int kGpioConfigSet = 1053;
    static constexpr int kGpioTestPort = 1143;
    static constexpr int kGpioTestFunction = 1152;
    static constexpr int kGpioTestSet = 1052;
    // Packet tracer option, status and cancel.
    static constexpr int kTracerOption = 1127;
    static constexpr int kStatus = 1126;
    static constexpr int kCancel = 1125;
    // Log.
    static constexpr int kLogAll = 1116;
    static constexpr int kLogOldestUnread = 1144;
    static constexpr int kLogLastWritten = 1145;
    static constexpr int kLogOldestToLast = 1146;
    static constexpr int kLogNthPrevious = 1147;  // enables the N edit
    static constexpr int kLogN = 1128;
    static constexpr int kLogDownload = 1148;
    static constexpr int kLogDeleteAll = 1149;

    static constexpr std::array<int, 6> kManualEdits = {kYear, kMonth,  kDay,
                                                        kHour, kMinute, kSecond};

    // The log radios and the log option each stands for.
    struct SLogRadio {
        int id;
        int option;
    };
    static constexpr std::array<SLogRadio, 5> kLogRadios = {{{kLogAll, 3},
                                                             {kLogOldestUnread, 1},
                                                             {kLogLastWritten, 2},
                                                             {kLogOldestToLast, 4},
                                                             {kLogNthPrevious, 0}}};

    static constexpr size_t kWriteDataLimit = 256;
    static constexpr size_t kLogNLimit = 5;
    static constexpr size_t kGpioFunctionCount = 19;
    // The module's custom data area: addresses 0..8191, blocks of up to 256 bytes.
    static constexpr int32_t kMaxCustomAddress = 8191;
    static constexpr int32_t kMaxCustomSize = 256;
    // GPIO test actions as the module takes them in param2.
    static constexpr uint32_t kGpioRead = 256;
    static constexpr uint32_t kGpioHigh = 1;
    static constexpr uint32_t kGpioLow = 0;

    static constexpr uint32_t kClockTimer = 1;
    static constexpr uint32_t kClockPeriodMs = 500;

    explicit CUserDlg(CSondrixDlg& main);
    // The packet tracer option chosen on this page (0 standard, 1 all, 2 off).
    int TracerMode() const { return m_tracerMode; }

    // The main window calls this each time the page comes to the front: the
    // clock fields take the host time and the clock display starts.
    void ShowPage();
    void Reset() override;
    // What the window says of a manual time (year, month, day, hour, minute,
    // second) out of range ("Wrong Month!!! (Range: 1 ~ 12)"); empty when sound.
    static std::string ManualTimeError(const std::array<int, 6>& values);
    // The module clock from the get-time answer.
    void ShowModuleTime(const SBcdTime& time);
    // The read-data answer: one character per byte.
    void ShowCustomData(const uint8_t* bytes, size_t count);

    // Where the page reads the host's time (local time is shown and sent).
    std::function<std::time_t()> hostClock = [] { return std::time(nullptr); };

    // Custom data blocks.
    int32_t readAddress = 0;
    int32_t readSize = 0;
    std::string readData;
    int32_t writeAddress = 0;
    int32_t writeSize = 0;
    std::string writeData;
    // Clock.
    std::string pcTime;
    std::string moduleTime;
    int64_t lastHostTime = 0;  // seconds, taken at the last clock tick
    int manualInput = 0;
    std::string yearText;
    std::string monthText;
    std::string dayText;
    std::string hourText;
    std::string minuteText;
    std::string secondText;
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    // The module clock as the get-time answer decoded it.
    int moduleYear = 0;
    int moduleMonth = 0;
    int moduleDay = 0;
    int moduleHour = 0;
    int moduleMinute = 0;
    int moduleSecond = 0;
    // Log.
    int logOption = 3;  // 3: all logs
    int logN = 0;       // N of "Nth previous log"

  protected:
    void OnCommand(int id) override;
    void OnEditChange(int id) override;
    void OnSelChange(int id) override;
    void OnTimer(uint32_t id) override;

  private:
    // Takes the host's time as the last host time and shows it.
    void TakeHostTime();
    void ReadCustomData();
    void WriteCustomData();
    void DeleteCustomData();
    void ClearCustomFields();
    // Takes a numeric field from its edit (an empty edit reads 0); a value
    // above `limit` is set back to 0. Returns whether it was in range.
    bool TakeNumber(int id, int32_t limit);
    void OnNumberChange(int id);
    void OnManualInput();
    void OnManualEdit(int id);
    void FillManualFields(const std::tm& time);
    bool ValidateManualTime();

    void SetTime();
    void SetGpioConfig();
    void GpioTest();
    void SelectLogRadio(int id);
    void DownloadLog();
    void DeleteLogs();
    void Refuse(int textId);

    int m_tracerMode = 0;
};

}  // namespace sondrix
