#pragma once

#include <algorithm>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/serial_device.h"

namespace sondrix::test {

// A serial line held in memory: records what the program writes and lets a
// test feed bytes as if the module had sent them, without any thread.
class CFakeSerial final : public ISerialDevice {
  public:
    bool Open(uint32_t baudRate, std::string& error) override {
        if (failOpen) {
            error = "fake: refused";
            return false;
        }
        baud = baudRate;
        open = true;
        return true;
    }
    void Close() override { open = false; }
    bool IsOpen() const override { return open; }
    void Purge() override { input.clear(); }
    size_t Write(const uint8_t* bytes, size_t count) override {
        written.insert(written.end(), bytes, bytes + count);
        writes.emplace_back(bytes, bytes + count);
        return count;
    }
    size_t Read(uint8_t* buffer, size_t capacity) override {
        const size_t n = std::min(capacity, input.size());
        std::copy_n(input.begin(), n, buffer);
        input.erase(input.begin(), input.begin() + static_cast<std::ptrdiff_t>(n));
        return n;
    }
    EWait WaitForInput(int) override { return EWait::Woken; }
    void Wake() override {}
    std::string Path() const override { return "/dev/fake"; }
    bool DeliversInputItself() const override { return true; }
    void SetInputHandler(std::function<void()> h) override { handler = std::move(h); }

    // The module "sends" bytes: they become readable and the port is told.
    void Feed(const std::vector<uint8_t>& bytes) {
        input.insert(input.end(), bytes.begin(), bytes.end());
        if (handler) {
            handler();
        }
    }

    bool failOpen = false;
    bool open = false;
    uint32_t baud = 0;
    std::deque<uint8_t> input;
    std::vector<uint8_t> written;
    std::vector<std::vector<uint8_t>> writes;
    std::function<void()> handler;
};

// Hands out one fake line for every port name; keeps the last one.
class CFakeSerialFactory final : public ISerialDeviceFactory {
  public:
    std::unique_ptr<ISerialDevice> Create(const std::string& portName) override {
        names.push_back(portName);
        auto device = std::make_unique<CFakeSerial>();
        device->failOpen = failOpen;
        last = device.get();
        return device;
    }
    bool failOpen = false;
    CFakeSerial* last = nullptr;
    std::vector<std::string> names;
};

}  // namespace sondrix::test
