#include "sim/sim_module.h"

#include <algorithm>
#include <ctime>
#include <iterator>

#include "files/bcd_time.h"
#include "link/command_table.h"
#include "link/option_numbers.h"
#include "link/result_codes.h"
#include "platform/local_time.h"
#include "sim/sim_configuration.h"
#include "sim/sim_database.h"
#include "sim/sim_extras.h"
#include "sim/sim_firmware.h"
#include "sim/sim_matching.h"

namespace sondrix {

namespace {

bool FromBcd(uint8_t b, int& out) {
    const int high = b >> 4;
    const int low = b & 0x0F;
    if (high > 9 || low > 9) {
        return false;
    }
    out = high * 10 + low;
    return true;
}

}  // namespace

int64_t LocalWallSeconds() {
    // The local wall clock read as if it were UTC.
    return UtcSeconds(LocalTime(std::time(nullptr)));
}

CSimModule::CSimModule(SSimConfig config)
    : m_config(config),
      m_parser(std::make_unique<CPacketParser>()),
      m_reply(std::make_unique<CPacket>()),
      // An ID length of 15 characters (a 16-byte ID field), no emulation.
      m_options{{kOptionIdLength, 15}, {kOptionEmulationMode, 0xFF}},
      m_configuration(std::make_unique<CSimConfiguration>(*this)),
      m_matching(std::make_unique<CSimMatching>(*this)),
      m_database(std::make_unique<CSimDatabase>(*this)),
      m_extras(std::make_unique<CSimExtras>(*this)),
      m_firmware(std::make_unique<CSimFirmware>(*this)) {
    m_users.Seed(m_config.userCount);
    if (!m_config.fingers.empty()) {
        m_finger = m_config.fingers.front();
        m_nextFinger = 1;
    }
}

CSimModule::~CSimModule() = default;

size_t CSimModule::RequestCount(uint32_t command) const {
    const auto it = m_requestCounts.find(command);
    return it == m_requestCounts.end() ? 0 : it->second;
}

void CSimModule::ClearRequests() {
    m_requests.clear();
    m_requestCounts.clear();
}

std::vector<SSimReply> CSimModule::Receive(const uint8_t* bytes, size_t count) {
    std::vector<SSimReply> replies;
    for (size_t i = 0; i < count; ++i) {
        switch (m_parser->Feed(bytes[i])) {
            case CPacketParser::EEvent::Packet:
                Handle(m_parser->rxPacket, replies);
                break;
            case CPacketParser::EEvent::None:
                break;
            default:
                ++m_rejected;
                break;
        }
    }
    return replies;
}

void CSimModule::Answer(std::vector<SSimReply>& out, uint32_t command, uint32_t result,
                        uint32_t param2, const uint8_t* data, uint32_t size, uint32_t errorCode) {
    if (m_faults.silent || m_faults.answersLeft == 0) {
        return;
    }
    if (m_faults.answersLeft > 0) {
        --m_faults.answersLeft;
    }
    CPacket& reply = *m_reply;
    reply.ClearHeader();
    reply.command = command;
    reply.param1 = m_faults.forcedResult != 0 ? m_faults.forcedResult : result;
    reply.param2 = param2;
    reply.dataSize = std::min<uint32_t>(size, CPacket::kMaxData);
    reply.errorCode = m_faults.reportLinkError ? 2 : errorCode;
    std::copy(data, data + reply.dataSize, reply.data);
    SSimReply sent;
    if (m_faults.garbageBefore) {
        sent.bytes = {0x00, 0x13, 0x7E, 0x01, 0x55};
    }
    if (!m_faults.bytesBefore.empty()) {
        const std::vector<uint8_t>& before = m_faults.bytesBefore.front();
        sent.bytes.insert(sent.bytes.end(), before.begin(), before.end());
        m_faults.bytesBefore.pop_front();
    }
    const std::vector<uint8_t> wire = reply.Encode();
    sent.bytes.insert(sent.bytes.end(), wire.begin(), wire.end());
    if (m_faults.corruptChecksum) {
        const size_t checksumAt = sent.bytes.size() - wire.size() + 24;
        sent.bytes[checksumAt] ^= 0x5A;
    }
    sent.delayMs = m_faults.replyDelayMs;
    out.push_back(std::move(sent));
}

void CSimModule::Handle(const CPacket& request, std::vector<SSimReply>& out) {
    if (m_requests.size() == kRequestHistory) {
        m_requests.pop_front();
    }
    m_requests.push_back({request.command, request.param1, request.param2, request.errorCode,
                          std::vector<uint8_t>(request.data, request.data + request.dataSize)});
    ++m_requestCounts[request.command];
    switch (request.command) {
        case CMD_CONNECT:
            Answer(out, CMD_CONNECT, RESULT_SUCCESS, static_cast<uint32_t>(m_users.Count()));
            break;
        case CMD_GET_MODULE_TYPE:
            Answer(out, CMD_GET_MODULE_TYPE, RESULT_SUCCESS, m_config.modelCode);
            break;
        case CMD_GET_SYSTEM_INFO:
            Answer(out, CMD_GET_SYSTEM_INFO, RESULT_SUCCESS, m_config.firmwareVersion);
            break;
        case CMD_GET_STATUS:
            Answer(out, CMD_GET_STATUS, RESULT_SUCCESS, m_status);
            break;
        case CMD_SET_TIME:
            OnSetTime(request, out);
            break;
        case CMD_GET_TIME:
            OnGetTime(out);
            break;
        case CMD_CAPTURE_IMAGE:
            OnCaptureImage(request, out);
            break;
        case CMD_CAPTURE_COLOR_IMAGE:
            OnCaptureColourImage(request, out);
            break;
        case CMD_GET_IMAGE_QUALITY:
            Answer(out, CMD_GET_IMAGE_QUALITY, m_image.empty() ? RESULT_FAILED : RESULT_SUCCESS,
                   static_cast<uint32_t>(m_imageQuality));
            break;
        case CMD_CANCEL: {
            const size_t cancelAnswer = out.size();
            m_matching->Handle(request, out);
            ReleaseHeldAnswer(out, cancelAnswer);
            break;
        }
        default: {
            const std::array<CSimCommandGroup*, 5> groups = {m_configuration.get(),
                                                             m_matching.get(), m_database.get(),
                                                             m_extras.get(), m_firmware.get()};
            const bool handled = std::any_of(groups.begin(), groups.end(), [&](auto* group) {
                return group->Handle(request, out);
            });
            if (!handled) {
                Answer(out, request.command, RESULT_NOT_SUPPORTED, 0);
            }
            break;
        }
    }
}

void CSimModule::ReleaseHeldAnswer(std::vector<SSimReply>& out, size_t cancelAnswer) {
    if (m_held.empty()) {
        return;
    }
    // The second of the two goes out a little after the first.
    if (m_faults.heldBlockFirst) {
        for (size_t i = cancelAnswer; i < out.size(); ++i) {
            out[i].delayMs += m_faults.heldGapMs;
        }
        out.insert(out.begin() + static_cast<std::ptrdiff_t>(cancelAnswer),
                   std::make_move_iterator(m_held.begin()), std::make_move_iterator(m_held.end()));
    } else {
        m_held.front().delayMs += m_faults.heldGapMs;
        out.insert(out.end(), std::make_move_iterator(m_held.begin()),
                   std::make_move_iterator(m_held.end()));
    }
    m_held.clear();
}

void CSimModule::OnSetTime(const CPacket& request, std::vector<SSimReply>& out) {
    int field[7] = {};
    bool valid = request.dataSize >= 7;
    for (int i = 0; valid && i < 7; ++i) {
        valid = FromBcd(request.data[i], field[i]);
    }
    std::tm set{};
    if (valid) {
        set.tm_year = field[0] * 100 + field[1] - 1900;
        set.tm_mon = field[2] - 1;
        set.tm_mday = field[3];
        set.tm_hour = field[4];
        set.tm_min = field[5];
        set.tm_sec = field[6];
        valid = field[2] >= 1 && field[2] <= 12 && field[3] >= 1 && field[3] <= 31 &&
                field[4] <= 23 && field[5] <= 59 && field[6] <= 59;
    }
    if (!valid) {
        Answer(out, CMD_SET_TIME, RESULT_INVALID_PARAMETER, 0);
        return;
    }
    m_clockOffset = UtcSeconds(set) - LocalWallSeconds();
    Answer(out, CMD_SET_TIME, RESULT_SUCCESS, 0);
}

std::array<uint8_t, 7> CSimModule::ModuleTime() const {
    return SBcdTime::FromTm(UtcCalendar(LocalWallSeconds() + m_clockOffset)).ToBytes();
}

void CSimModule::OnGetTime(std::vector<SSimReply>& out) {
    const std::array<uint8_t, 7> bytes = ModuleTime();
    Answer(out, CMD_GET_TIME, RESULT_SUCCESS, 0, bytes.data(), static_cast<uint32_t>(bytes.size()));
}

void CSimModule::PlaceFinger(FingerOnSensor finger) {
    m_finger = finger;
    std::vector<SSimReply> out;
    m_matching->OnFingerPlaced(out);
    Spontaneous(out);
}

void CSimModule::SendUnasked(uint32_t command, uint32_t result, uint32_t param2,
                             const std::vector<uint8_t>& data) {
    std::vector<SSimReply> out;
    Answer(out, command, result, param2, data.data(), static_cast<uint32_t>(data.size()));
    Spontaneous(out);
}

void CSimModule::Spontaneous(std::vector<SSimReply>& replies) {
    for (SSimReply& reply : replies) {
        if (m_sink) {
            m_sink(std::move(reply));
        }
    }
}

FingerOnSensor CSimModule::ScanFinger(uint32_t command, std::vector<SSimReply>& out) {
    if (Model() == nullptr) {
        Answer(out, command, RESULT_NOT_SUPPORTED, 0);
        return kNoFinger;
    }
    if (!Scan(command, m_image, false, out)) {
        return kNoFinger;
    }
    const FingerOnSensor scanned = m_finger;
    // The person puts the next finger of the list down for the next scan.
    if (m_nextFinger < m_config.fingers.size()) {
        m_finger = m_config.fingers[m_nextFinger++];
    }
    return scanned;
}

uint32_t CSimModule::ImageChunkSize() const {
    const SModelInfo* model = Model();
    const auto emulation = m_options.find(kOptionEmulationMode);
    const bool small =
        (model && model->series == 2) || (emulation != m_options.end() && emulation->second == 2);
    return small ? 512 : 3720;
}

bool CSimModule::Scan(uint32_t command, std::vector<uint8_t>& image, bool colour,
                      std::vector<SSimReply>& out) {
    image.clear();
    uint32_t forced = 0;
    if (!m_faults.captureOutcomes.empty()) {
        forced = m_faults.captureOutcomes.front();
        m_faults.captureOutcomes.pop_front();
    }
    if (forced == 0 && !m_finger && m_config.waitForFinger) {
        // The module keeps waiting for a finger until it is told to cancel.
        Answer(m_held, command, RESULT_CANCELED, 0);
        return false;
    }
    if (forced == 0 && !m_finger) {
        forced = RESULT_CAPTURE_TIMEOUT;
    }
    if (forced != 0) {
        const size_t before = out.size();
        Answer(out, command, forced, 0);
        if (out.size() > before) {
            out.back().delayMs += forced == RESULT_CAPTURE_TIMEOUT ? m_config.captureTimeoutMs
                                                                   : m_config.captureDelayMs;
        }
        return false;
    }
    const SModelInfo* model = Model();
    const int width = colour ? 0 : model->imageWidth;
    const int height = colour ? 0 : model->imageHeight;
    // A print is a pure function of the finger: render it once, not at every
    // capture of a continuous run.
    if (m_print.pixels.empty() || !(m_print.finger == *m_finger) || m_print.width != width ||
        m_print.height != height || m_print.colour != colour) {
        m_print = {*m_finger, width, height, colour,
                   colour ? RenderColourFingerprint(*m_finger)
                          : RenderFingerprint(*m_finger, width, height)};
    }
    image = m_print.pixels;
    if (!colour) {
        m_imageQuality = ImageQuality(*m_finger);
    }
    return true;
}

void CSimModule::SendImageBlock(uint32_t command, const std::vector<uint8_t>& image, uint32_t chunk,
                                uint32_t block, uint32_t delayMs, std::vector<SSimReply>& out) {
    const uint32_t lastBlock =
        image.empty() ? 0 : static_cast<uint32_t>((image.size() - 1) / chunk);
    if (image.empty() || block > lastBlock) {
        Answer(out, command, RESULT_INVALID_PARAMETER, 0);
        return;
    }
    const size_t offset = size_t{block} * chunk;
    const uint32_t size = static_cast<uint32_t>(std::min<size_t>(chunk, image.size() - offset));
    const size_t before = out.size();
    Answer(out, command, RESULT_SUCCESS, (block << 8) | lastBlock, image.data() + offset, size);
    if (out.size() > before) {
        out.back().delayMs += delayMs;
    }
}

void CSimModule::OnCaptureImage(const CPacket& request, std::vector<SSimReply>& out) {
    const SModelInfo* model = Model();
    if (!model || model->imageWidth == 0) {
        Answer(out, CMD_CAPTURE_IMAGE, RESULT_NOT_SUPPORTED, 0);
        return;
    }
    // Block 0 is a new capture: scan the finger that lies on the sensor now.
    if (request.param2 == 0 && !Scan(CMD_CAPTURE_IMAGE, m_image, false, out)) {
        return;
    }
    const bool hold = m_faults.holdImageBlock == request.param2;
    SendImageBlock(CMD_CAPTURE_IMAGE, m_image, ImageChunkSize(), request.param2,
                   request.param2 == 0 ? m_config.captureDelayMs : 0, hold ? m_held : out);
    if (hold) {
        m_faults.holdImageBlock.reset();
    }
}

void CSimModule::OnCaptureColourImage(const CPacket& request, std::vector<SSimReply>& out) {
    if (request.param2 == 0 && !Scan(CMD_CAPTURE_COLOR_IMAGE, m_colourImage, true, out)) {
        return;
    }
    // Colour images always travel in the large blocks.
    SendImageBlock(CMD_CAPTURE_COLOR_IMAGE, m_colourImage, 3720, request.param2,
                   request.param2 == 0 ? m_config.captureDelayMs : 0, out);
}

}  // namespace sondrix
