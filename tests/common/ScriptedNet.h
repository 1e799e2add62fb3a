// A network for tests of the connect step: sockets that accept every set-up call and whose
// Connect runs the test's callback, standing for the time the attempt takes (the callback may
// play the user's actions and pump messages) and deciding its outcome.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "os/Net.h"

class ScriptedNet : public os::Net {
  public:
    std::function<bool(const std::string& address, uint16_t port)> onConnect;
    std::vector<uint16_t> listening;

    std::unique_ptr<os::Socket> CreateSocket(os::SocketEvents&) override {
        return std::make_unique<ScriptedSocket>(*this);
    }

  private:
    class ScriptedSocket : public os::Socket {
      public:
        explicit ScriptedSocket(ScriptedNet& net) : m_net(net) {}
        bool Create(uint16_t port) override {
            m_port = port;
            m_created = true;
            return true;
        }
        bool Listen(int) override {
            m_net.listening.push_back(m_port);
            return true;
        }
        bool Accept(Socket&) override { return false; }
        bool Connect(const std::string& address, uint16_t port) override {
            return m_net.onConnect && m_net.onConnect(address, port);
        }
        int Send(const void*, int size) override { return size; }
        int Receive(void*, int) override { return -1; }
        void Close() override { m_created = false; }
        bool IsCreated() const override { return m_created; }
        bool PeerAddress(os::IPv4&) override { return false; }
        int LastError() override { return 0; }

      private:
        ScriptedNet& m_net;
        uint16_t m_port = 0;
        bool m_created = false;
    };
};
