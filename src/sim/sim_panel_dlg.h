#pragma once

#include <array>
#include <cstdint>

#include "link/result_codes.h"
#include "platform/dialog_model.h"
#include "platform/message_loop.h"

namespace sondrix {

class CSimDeskPorts;

// The panel of `sondrix --simulate` that plays the simulated module, as a
// dialog model any window can show: which virtual finger lies on the
// sensor, faults on the line, and the model and line speed the module takes
// at the next connection. It works on the module directly, on the thread of
// the program's loop that the module lives on, and shows what the module
// holds every half second (the program registers users, enters master mode).
class CSimPanelDlg final : public CDialogModel, public CWindow {
  public:
    static constexpr int kSensor = 101;  // what lies on the sensor now
    static constexpr int kPerson = 102;
    static constexpr int kFinger = 103;
    static constexpr int kPlace = 104;
    static constexpr int kLift = 105;
    static constexpr int kSilent = 106;
    static constexpr int kChecksum = 107;
    static constexpr int kResult = 108;
    static constexpr int kModel = 109;
    static constexpr int kBaudRate = 110;
    static constexpr int kModule = 111;  // the model and rate, now and next
    static constexpr int kUsers = 112;

    // The line speeds the module may take, and the results a person may
    // force on every answer: the failures the program has a word for.
    static constexpr std::array<uint32_t, 6> kBaudRates = {9600,  14400, 19200,
                                                           38400, 57600, 115200};
    static constexpr std::array<uint32_t, 14> kForcedResults = {RESULT_FAILED,
                                                                RESULT_NOT_MASTER_MODE,
                                                                RESULT_USED_ID,
                                                                RESULT_INVALID_ID,
                                                                RESULT_DB_FULL,
                                                                RESULT_CAPTURE_TIMEOUT,
                                                                RESULT_INVALID_PARAMETER,
                                                                RESULT_SENSOR_INIT_FAILED,
                                                                RESULT_CANCELED,
                                                                RESULT_IDENTIFY_TIMEOUT,
                                                                RESULT_INVALID_DATA_SIZE,
                                                                RESULT_INVALID_DATA,
                                                                RESULT_NOT_SUPPORTED,
                                                                RESULT_CAPTURE_FAIL};

    CSimPanelDlg(CMessageLoop& loop, CSimDeskPorts& ports);
    ~CSimPanelDlg() override;

    // Shows what the module holds now.
    void Refresh();
    void OnTimer(uint32_t id) override;

  protected:
    void OnCommand(int id) override;
    void OnEditChange(int id) override;
    void OnSelChange(int id) override;

  private:
    CSimDeskPorts& m_ports;
};

}  // namespace sondrix
