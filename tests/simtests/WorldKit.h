// Small pieces the world tests share: a dialog that keeps a PC's message loop running and
// hands its calls to the test's code, and socket events as calls.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "os/Net.h"
#include "os/Ui.h"

namespace sim::kit {

constexpr int kLoopTemplate = 900;

class LoopDialog : public os::Dialog {
  public:
    explicit LoopDialog(os::Ui& ui, int templateId = kLoopTemplate)
        : os::Dialog(ui, templateId, nullptr) {}

    std::function<void(LoopDialog&)> onInit;
    std::function<void(LoopDialog&, int)> onTimer;
    std::function<void(LoopDialog&, unsigned, uintptr_t)> onApp;
    std::vector<std::pair<unsigned, uintptr_t>> appCalls;
    int cancels = 0;

    bool OnInitDialog() override {
        if (onInit) {
            onInit(*this);
        }
        return true;
    }
    void OnTimer(int id) override {
        if (onTimer) {
            onTimer(*this, id);
        }
    }
    intptr_t OnAppMessage(unsigned n, uintptr_t wParam) override {
        appCalls.emplace_back(n, wParam);
        if (onApp) {
            onApp(*this, n, wParam);
        }
        return 0;
    }
    void OnCancel() override {
        ++cancels;
        EndDialog(os::kIdCancel);
    }
};

// Socket events recorded as letters: A accept, R readable, C close, with their error codes.
class EventLog : public os::SocketEvents {
  public:
    std::function<void(int)> onAccept;
    std::function<void(int)> onReceive;
    std::function<void(int)> onClose;
    std::vector<std::pair<char, int>> events;

    void OnAccept(int error) override {
        events.emplace_back('A', error);
        if (onAccept) {
            onAccept(error);
        }
    }
    void OnReceive(int error) override {
        events.emplace_back('R', error);
        if (onReceive) {
            onReceive(error);
        }
    }
    void OnClose(int error) override {
        events.emplace_back('C', error);
        if (onClose) {
            onClose(error);
        }
    }
    int Count(char kind) const {
        int n = 0;
        for (const auto& [k, error] : events) {
            n += k == kind ? 1 : 0;
        }
        return n;
    }
};

// Bytes that differ at every offset of a long stream.
inline std::string Pattern(size_t size, unsigned salt = 0) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i * 131 + (i >> 8) * 7 + salt) & 0xFF);
    }
    return bytes;
}

}  // namespace sim::kit
