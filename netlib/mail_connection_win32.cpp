// Blocking sockets for the mail clients. The user-interface thread waits in
// these calls, so none waits without a limit: connecting goes through a
// non-blocking connect and select, and every receive waits in select for
// what is left of the reply's 60 seconds.
#include "netlib/mail_connection_win32.h"

#include <ws2tcpip.h>

#include <cstring>
#include <new>

#include "runtime/call.h"
#include "runtime/class_kit.h"
#include "runtime/convert.h"
#include "runtime/errors.h"
#include "runtime/native_args.h"
#include "corelib/callback_roots.h"
#include "netlib/winsock_start_win32.h"

namespace kelpo {
namespace {

constexpr size_t kMaxServerText = 255;
constexpr size_t kMaxCredential = 1024;

// A select on one socket for at most `ms` milliseconds; true when ready.
bool WaitFor(SOCKET socket, bool write, DWORD ms, int* code) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(socket, &set);
    fd_set errors;
    FD_ZERO(&errors);
    FD_SET(socket, &errors);
    timeval limit;
    limit.tv_sec = static_cast<long>(ms / 1000);
    limit.tv_usec = static_cast<long>(ms % 1000) * 1000;
    const int ready = select(0, write ? nullptr : &set, write ? &set : nullptr, &errors, &limit);
    if (ready == SOCKET_ERROR) {
        *code = WSAGetLastError();
        return false;
    }
    if (ready == 0) {
        *code = WSAETIMEDOUT;
        return false;
    }
    if (FD_ISSET(socket, &errors)) {
        int error = 0;
        int size = sizeof error;
        getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size);
        *code = error != 0 ? error : WSAECONNREFUSED;
        return false;
    }
    return true;
}

bool ResolveServer(const std::string& server, in_addr* address, int* code) {
    if (server.empty() || server.size() > kMaxServerText) {
        *code = WSAHOST_NOT_FOUND;
        return false;
    }
    const hostent* host = gethostbyname(server.c_str());
    if (host != nullptr && host->h_addrtype == AF_INET && host->h_length == 4 &&
        host->h_addr_list != nullptr && host->h_addr_list[0] != nullptr) {
        memcpy(&address->s_addr, host->h_addr_list[0], 4);
        return true;
    }
    const unsigned long dotted = inet_addr(server.c_str());
    if (dotted != INADDR_NONE) {
        address->s_addr = dotted;
        return true;
    }
    *code = WSAGetLastError() != 0 ? WSAGetLastError() : WSAHOST_NOT_FOUND;
    return false;
}

void Fail(MailExchange& exchange, int code) {
    CloseMailSocket(exchange.client);
    ReportSocketError(exchange, code);
}

std::string* NewText(const char* text) { return new (std::nothrow) std::string(text); }

// Stores a String value into a string field (null: not set).
void SetText(ScriptContext* context, std::string** field, const Value& value, size_t limit,
             bool keepUnset) {
    std::string text;
    if (value.tag != ValueTag::String || !BoundedAnsi(context, value, limit, text)) {
        if (!keepUnset) return;
        delete *field;
        *field = nullptr;
        return;
    }
    if (*field == nullptr) *field = new (std::nothrow) std::string;
    if (*field != nullptr) **field = text;
}

}  // namespace

bool InitMailClient(MailClient* client, int64_t port) {
    client->socket = INVALID_SOCKET;
    client->server = NewText("localhost");
    client->port = port;
    client->username = nullptr;
    client->password = nullptr;
    client->handler = MakeUndefined();
    client->busy = false;
    return client->server != nullptr;
}

void FinalizeMailClient(MailClient* client) {
    CloseMailSocket(client);
    delete client->server;
    delete client->username;
    delete client->password;
    client->server = client->username = client->password = nullptr;
}

bool OpenMailSocket(MailClient* client, int* code) {
    CloseMailSocket(client);
    *code = 0;
    if (!StartWinsock()) {
        *code = WSASYSNOTREADY;
        return false;
    }
    sockaddr_in peer = {};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(static_cast<u_short>(client->port));
    if (client->server == nullptr || !ResolveServer(*client->server, &peer.sin_addr, code))
        return false;
    SOCKET handle = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (handle == INVALID_SOCKET) {
        *code = WSAGetLastError();
        return false;
    }
    // Connect without blocking, wait a bounded time, then block again with
    // time limits on every send and receive.
    u_long nonBlocking = 1;
    ioctlsocket(handle, FIONBIO, &nonBlocking);
    if (connect(handle, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != 0) {
        const int error = WSAGetLastError();
        if (error != WSAEWOULDBLOCK || !WaitFor(handle, true, kMailTimeLimitMs, code)) {
            if (error != WSAEWOULDBLOCK) *code = error;
            closesocket(handle);
            return false;
        }
    }
    u_long blocking = 0;
    ioctlsocket(handle, FIONBIO, &blocking);
    const DWORD limit = kMailTimeLimitMs;
    setsockopt(handle, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&limit),
               sizeof limit);
    setsockopt(handle, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&limit),
               sizeof limit);
    client->socket = handle;
    return true;
}

void CloseMailSocket(MailClient* client) {
    if (client->socket == INVALID_SOCKET) return;
    closesocket(client->socket);
    client->socket = INVALID_SOCKET;
}

bool SendMailBytes(MailExchange& exchange, const std::string& bytes) {
    MailClient* client = exchange.client;
    if (client->socket == INVALID_SOCKET) return false;
    size_t sent = 0;
    while (sent < bytes.size()) {
        const size_t piece = bytes.size() - sent > 65536 ? 65536 : bytes.size() - sent;
        const int done = send(client->socket, bytes.data() + sent, static_cast<int>(piece), 0);
        if (done == SOCKET_ERROR || done <= 0) {
            Fail(exchange, done == SOCKET_ERROR ? WSAGetLastError() : WSAECONNRESET);
            return false;
        }
        sent += static_cast<size_t>(done);
    }
    return true;
}

bool ReceiveMailReply(MailExchange& exchange, size_t limit, bool (*complete)(const std::string&),
                      std::string* reply, bool progress) {
    MailClient* client = exchange.client;
    reply->clear();
    if (client->socket == INVALID_SOCKET) return false;
    const DWORD start = GetTickCount();
    char buffer[4096];
    while (!complete(*reply)) {
        const DWORD spent = GetTickCount() - start;
        int code = 0;
        if (spent >= kMailTimeLimitMs ||
            !WaitFor(client->socket, false, kMailTimeLimitMs - spent, &code)) {
            Fail(exchange, code != 0 ? code : WSAETIMEDOUT);
            return false;
        }
        const size_t room = limit - reply->size();
        const int got = recv(client->socket, buffer,
                             static_cast<int>(room < sizeof buffer ? room : sizeof buffer), 0);
        if (got == SOCKET_ERROR) {
            Fail(exchange, WSAGetLastError());
            return false;
        }
        if (got == 0) {
            Fail(exchange, WSAECONNRESET);
            return false;
        }
        reply->append(buffer, static_cast<size_t>(got));
        const bool whole = complete(*reply);
        if (reply->size() >= limit && !whole) {
            Fail(exchange, WSAEMSGSIZE);
            return false;
        }
        const size_t firstEnd = progress ? reply->find("\r\n") : std::string::npos;
        if (firstEnd != std::string::npos && reply->size() > firstEnd + 2 &&
            !ReportToHandler(exchange, kReportProgress,
                             std::to_string(reply->size() - firstEnd - 2))) {
            CloseMailSocket(client);
            return false;
        }
    }
    return true;
}

bool ReportToHandler(MailExchange& exchange, MailReport kind, const std::string& text) {
    ScriptContext* context = exchange.context;
    Value handler = exchange.client->handler;
    if (handler.tag != ValueTag::Function) return true;
    // A call resets the context's result and error text; the method that
    // reports answers with its own result afterwards.
    const Value savedResult = context->result;
    char savedError[kErrorTextSize];
    memcpy(savedError, context->errorText, sizeof savedError);
    bool answer = false;
    CatchRaise(context, [&] {
        CallbackRoots roots(context);
        roots.Push(handler);
        roots.Push(exchange.self);
        roots.Push(savedResult);
        Value args[3] = {MakeInteger(2), MakeInteger(kind), AnsiString(context, text)};
        roots.Push(args[2]);
        if (CallValue(context, &exchange.self, &handler, 3, args))
            answer = ToBoolean(context, context->result) != 0;
    });
    context->result = savedResult;
    memcpy(context->errorText, savedError, sizeof savedError);
    return answer;
}

void ReportSocketError(MailExchange& exchange, int code) {
    char text[512];
    DWORD written =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                       static_cast<DWORD>(code), 0x800, text, sizeof text, nullptr);
    // Without the system's text, the code.
    std::string message =
        written > 0 ? std::string(text, written) : "socket error " + std::to_string(code);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r'))
        message.pop_back();
    ReportToHandler(exchange, kReportSocketError, message);
}

int MailClientProperty(ScriptContext* context, MailClient* client, int member, int isSet,
                       Value* io) {
    switch (member) {
        case kServerMember:
            if (!isSet) {
                *io = AnsiString(context, client->server != nullptr ? *client->server : "");
            } else {
                SetText(context, &client->server, *io, kMaxServerText, false);
            }
            break;
        case kPortMember:
            if (!isSet) {
                *io = MakeInteger(client->port);
            } else if (io->tag == ValueTag::Integer) {
                client->port = io->integer & 0xFFFF;
            }
            break;
        case kUsernameMember:
        case kPasswordMember: {
            std::string** field = member == kUsernameMember ? &client->username : &client->password;
            if (!isSet) {
                *io = AnsiString(context, *field != nullptr ? **field : "");
            } else {
                SetText(context, field, *io, kMaxCredential, true);
            }
            break;
        }
        case kHandlerMember:
            if (!isSet) {
                *io = client->handler;
            } else if (io->tag == ValueTag::Function) {
                client->handler = *io;
            }
            break;
    }
    return 1;
}

MailClient* MailClientOf(void* data) {
    return data != nullptr ? static_cast<MailClientData*>(data)->client : nullptr;
}

void NewMailClientInstance(ScriptContext* context, NativeClass* klass, int64_t port, Value* out) {
    auto* client = new (std::nothrow) MailClient;
    if (client == nullptr || !InitMailClient(client, port)) {
        if (client != nullptr) FinalizeMailClient(client);
        delete client;
        *out = MakeNull();
        return;
    }
    MailClientData* data = nullptr;
    if (!CatchRaise(context, [&] { data = NewInstanceOf<MailClientData>(context, klass, out); })) {
        FinalizeMailClient(client);
        delete client;
        *out = MakeNull();
        return;
    }
    data->client = client;
}

int MailClientDataProperty(ScriptContext* context, NativeClass*, void* data, int member, int isSet,
                           Value* io) {
    MailClient* client = MailClientOf(data);
    if (client == nullptr) return 0;
    return MailClientProperty(context, client, member, isSet, io);
}

void FinalizeMailClientData(NativeClass*, void* data) {
    auto* record = static_cast<MailClientData*>(data);
    if (record == nullptr || record->client == nullptr) return;
    FinalizeMailClient(record->client);
    delete record->client;
    record->client = nullptr;
}

void MarkMailClientData(NativeClass*, void* data) {
    MailClient* client = MailClientOf(data);
    if (client != nullptr) GcMarkValue(client->handler);
}

}  // namespace kelpo
