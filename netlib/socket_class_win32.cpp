// The Socket class (Windows only): non-blocking TCP and UDP sockets whose
// readiness (data to read, room to write, out-of-band data, a connection to
// accept, a finished connect, the peer's close) reaches scripts through six
// handler properties. Bytes move between sockets and StringStreams.
//
// Every instance holds a ScriptSocket. Its system socket selects its events
// for the hidden notification window (socket_window_win32.h), which calls
// back into the ScriptSocket while the thread's messages are dispatched. A
// handler runs with `this` the instance; an error inside it ends only that
// handler. Collecting the instance closes its socket, and no handler of it
// runs afterwards.
//
// The class keeps the error code of the last failed socket call itself:
// between a failed call and the script's read of `error` the engine makes
// system calls of its own, which may overwrite the thread's last error.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "corelib/callback_roots.h"
#include "netlib/classes.h"
#include "netlib/socket_window_win32.h"
#include "netlib/winsock_start_win32.h"
#include "runtime/atoms.h"
#include "runtime/call.h"
#include "runtime/class_kit.h"
#include "runtime/errors.h"
#include "runtime/gc.h"
#include "runtime/native_args.h"
#include "runtime/object.h"
#include "syslib/engine_entry.h"
#include "syslib/string_stream.h"

namespace kelpo {
namespace {

// The handlers in the order the socket keeps them.
enum Handler { kOnAccept, kOnClose, kOnConnect, kOnSend, kOnReceive, kOnOOBData, kHandlerCount };

struct ScriptSocket {
    SOCKET handle;
    ScriptContext* context;
    Value handlers[kHandlerCount];  // each a Function or Undefined
    Value self;                     // the instance, `this` of its handlers
    long events;                    // the events selected for notification
    UINT message;                   // the message they are selected with
};

struct SocketData {
    ScriptSocket* socket;
};

enum Method {
    kHtonl,
    kHtons,
    kNtohl,
    kNtohs,
    kCreate,
    kBind,
    kListen,
    kAccept,
    kConnect,
    kAsyncSelect,
    kSend,
    kReceive,
    kSendTo,
    kReceiveFrom,
    kGetPeerName,
    kGetSockName,
    kGetSockOpt,
    kSetSockOpt,
    kIoctl,
    kShutDown,
    kClose,
};
const MemberRow kMethods[] = {
    {"htonl",
     "htonl(n) -> Integer: the low 32 bits of n in network order, unsigned; also on the "
     "class"},
    {"htons", "htons(n) -> Integer: the low 16 bits of n in network order; also on the class"},
    {"ntohl",
     "ntohl(n) -> Integer: the low 32 bits of n in host order, unsigned; also on the "
     "class"},
    {"ntohs", "ntohs(n) -> Integer: the low 16 bits of n in host order; also on the class"},
    {"create",
     "create([port [, type [, events [, address]]]]) -> Boolean: makes the socket "
     "($SOCK_STREAM or $SOCK_DGRAM), binds it to port and address (any) and selects the "
     "$FD_ events (all); an open one is closed first"},
    {"bind", "bind([port [, address]]) -> Boolean: binds to the port (0, any) and address (any)"},
    {"listen", "listen([backlog]) -> Boolean: waits for connections (backlog 5)"},
    {"accept",
     "accept() -> Socket: a new Socket for a waiting connection, without handlers; "
     "undefined when none"},
    {"connect",
     "connect(host, port) -> Boolean: starts connecting to a dotted address or host "
     "name; normally false with error 10035, onConnect tells the outcome"},
    {"asyncSelect",
     "asyncSelect([events]) -> Boolean: selects the $FD_ events to be notified of; "
     "without an Integer true and no change"},
    {"send",
     "send(stream [, length [, flags]]) -> Integer: sends up to length bytes (0) from the "
     "StringStream's read position, which advances by the bytes sent; -1 on error"},
    {"receive",
     "receive(stream [, length [, flags]]) -> Integer: appends up to length received "
     "bytes to the StringStream; 0 when the peer closed, -1 on error"},
    {"sendTo",
     "sendTo(stream, length [, port [, address [, flags]]]) -> Integer: as send, as one "
     "datagram to the port and address"},
    {"receiveFrom",
     "receiveFrom(stream [, length [, flags]]) -> Object: as receive; the sender's "
     "address and port and the length received; null on error"},
    {"getPeerName", "getPeerName() -> Object: address and port of the peer; null on failure"},
    {"getSockName", "getSockName() -> Object: address and port of the local end; null on failure"},
    {"getSockOpt",
     "getSockOpt(option [, level]) -> Integer: a 4-byte option value (level 0xFFFF, "
     "the socket); 0 on failure"},
    {"setSockOpt", "setSockOpt(option, value [, level]) -> Boolean: writes a 4-byte option value"},
    {"ioctl",
     "ioctl(command [, value]) -> Integer: the socket control call on value (0); the "
     "value after it, -1 on failure (turning blocking on is refused)"},
    {"shutDown",
     "shutDown([how]) -> Boolean: ends sending (1, the default), receiving (0) or both "
     "(2)"},
    {"close", "close() -> nothing: closes the system socket; create makes a new one"},
};

enum Property {
    kError,
    kOnAcceptProperty,
    kOnCloseProperty,
    kOnConnectProperty,
    kOnOOBDataProperty,
    kOnReceiveProperty,
    kOnSendProperty
};
const MemberRow kProperties[] = {
    {"error",
     "Integer, read-only: the error code of the last failed socket call; also on the "
     "class"},
    {"onAccept", "Function: called with an error code (0) when a connection waits to be accepted"},
    {"onClose", "Function: called with an error code when the peer closed the connection"},
    {"onConnect", "Function: called with 0 when connect finished, or with the failure's code"},
    {"onOOBData", "Function: called with an error code when out-of-band data arrived"},
    {"onReceive", "Function: called with an error code when data waits to be received"},
    {"onSend", "Function: called with an error code when the socket can send again"},
};
// The handler each handler property reads and writes, by property index.
const Handler kHandlerOfProperty[] = {kHandlerCount, kOnAccept,  kOnClose, kOnConnect,
                                      kOnOOBData,    kOnReceive, kOnSend};

// The event bits of $FD_READ ... $FD_CLOSE are Winsock's own.
constexpr long kAllEvents = FD_READ | FD_WRITE | FD_OOB | FD_ACCEPT | FD_CONNECT | FD_CLOSE;

// One receive takes at most this much; a stream socket gives the rest to
// the next receive, and no datagram is this long.
constexpr int64_t kMaxReceive = 1 << 20;

// Host names and dotted addresses are short; longer texts are no address.
constexpr size_t kMaxHostText = 255;

int gLastError = 0;

// Remembers the thread's error code after a failed call.
void NoteFailure() { gLastError = WSAGetLastError(); }

// A call refused before it reached the system, with its reason.
void NoteRefusal(int code) {
    gLastError = code;
    WSASetLastError(code);
}

Handler HandlerOfEvent(int event) {
    switch (event) {
        case FD_READ: return kOnReceive;
        case FD_WRITE: return kOnSend;
        case FD_OOB: return kOnOOBData;
        case FD_ACCEPT: return kOnAccept;
        case FD_CONNECT: return kOnConnect;
        case FD_CLOSE: return kOnClose;
    }
    return kHandlerCount;
}

// Runs the handler of an event, from the notification window.
void NotifySocket(void* owner, int event, int errorCode) {
    auto* socket = static_cast<ScriptSocket*>(owner);
    const Handler index = HandlerOfEvent(event);
    if (index == kHandlerCount || (socket->events & event) == 0) return;
    if (socket->handlers[index].tag != ValueTag::Function) return;
    // Copies: the handler may close the socket, replace itself, or let the
    // instance go; on the value stack both stay alive through the call.
    ScriptContext* context = socket->context;
    Value handler = socket->handlers[index];
    Value self = socket->self;
    Value args[2] = {MakeInteger(1), MakeInteger(errorCode)};
    // Counted as a script call: a close of the projector waits for it.
    EngineEntryScope entry;
    CatchRaise(context, [&] {
        CallbackRoots roots(context);
        roots.Push(handler);
        roots.Push(self);
        CallValue(context, &self, &handler, 2, args);
    });
}

void Adopt(ScriptSocket* socket, SOCKET handle, long events, UINT message) {
    socket->handle = handle;
    socket->events = events;
    socket->message = message;
    SocketListener listener;
    listener.notify = NotifySocket;
    listener.owner = socket;
    listener.message = message;
    ListenToSocket(handle, listener);
}

void CloseScriptSocket(ScriptSocket* socket) {
    if (socket->handle == INVALID_SOCKET) return;
    StopListening(socket->handle);
    closesocket(socket->handle);
    socket->handle = INVALID_SOCKET;
    socket->events = 0;
    socket->message = 0;
}

// A new instance around `handle` (INVALID_SOCKET: none yet); Null when it
// cannot be allocated.
Value NewSocketInstance(ScriptContext* context, NativeClass* klass, SOCKET handle, long events,
                        UINT message) {
    auto* socket = new (std::nothrow) ScriptSocket;
    if (socket == nullptr) return MakeNull();
    socket->handle = INVALID_SOCKET;
    socket->context = context;
    for (Value& handler : socket->handlers) handler = MakeUndefined();
    socket->events = 0;
    socket->message = 0;
    Value out = MakeNull();
    if (!CatchRaise(context, [&] {
            auto* data = NewInstanceOf<SocketData>(context, klass, &out);
            data->socket = socket;
        })) {
        delete socket;
        return MakeNull();
    }
    socket->self = out;
    if (handle != INVALID_SOCKET) Adopt(socket, handle, events, message);
    return out;
}

bool ValidPort(int64_t port) { return port >= 0 && port <= 65535; }

// An IPv4 address from a dotted text or a host name the system resolves;
// an empty text is any local address when `emptyIsAny`. Answers 0, or the
// reason it found none.
int ResolveAddress(const std::string& text, bool emptyIsAny, in_addr* address) {
    if (text.empty() || text.size() > kMaxHostText) {
        if (!emptyIsAny || !text.empty()) return WSAEINVAL;
        address->s_addr = htonl(INADDR_ANY);
        return 0;
    }
    const unsigned long dotted = inet_addr(text.c_str());
    if (dotted != INADDR_NONE || text == "255.255.255.255") {
        address->s_addr = dotted;
        return 0;
    }
    const hostent* host = gethostbyname(text.c_str());
    if (host == nullptr) {
        const int code = WSAGetLastError();
        return code != 0 ? code : WSAHOST_NOT_FOUND;
    }
    if (host->h_addrtype != AF_INET || host->h_length != 4 || host->h_addr_list == nullptr ||
        host->h_addr_list[0] == nullptr)
        return WSANO_DATA;
    memcpy(&address->s_addr, host->h_addr_list[0], 4);
    return 0;
}

// The socket address of an address argument and a port; false (with the
// reason noted) when either is no address.
bool SocketAddress(const std::string& text, bool emptyIsAny, int64_t port, sockaddr_in* out) {
    if (!ValidPort(port)) {
        NoteRefusal(WSAEINVAL);
        return false;
    }
    *out = {};
    out->sin_family = AF_INET;
    out->sin_port = htons(static_cast<u_short>(port));
    const int code = ResolveAddress(text, emptyIsAny, &out->sin_addr);
    if (code != 0) {
        NoteRefusal(code);
        return false;
    }
    return true;
}

// An argument given as Undefined counts as missing.
bool Given(const Value* args, int k) {
    return HasArg(args, k) && args[k].tag != ValueTag::Undefined;
}

std::string AddressArg(ScriptContext* context, const Value* args, int k) {
    return Given(args, k) ? AnsiOfValue(context, args[k], kMaxHostText + 1) : std::string();
}

bool Create(ScriptContext* context, ScriptSocket* socket, const Value* args) {
    const int64_t port = IntegerArg(args, 1, 0);
    const int64_t type = IntegerArg(args, 2, SOCK_STREAM);
    const long events = static_cast<long>(IntegerArg(args, 3, kAllEvents) & kAllEvents);
    sockaddr_in local;
    if (!SocketAddress(AddressArg(context, args, 4), true, port, &local)) return false;
    HWND window = SocketNotifyWindow();
    if (window == nullptr) {
        NoteRefusal(WSAENOBUFS);
        return false;
    }
    CloseScriptSocket(socket);
    SOCKET handle = ::socket(AF_INET, static_cast<int>(type), 0);
    if (handle == INVALID_SOCKET) {
        NoteFailure();
        return false;
    }
    // Non-blocking from the start, also when no event is selected.
    u_long nonBlocking = 1;
    const UINT message = NextSocketMessage();
    if (ioctlsocket(handle, FIONBIO, &nonBlocking) != 0 ||
        WSAAsyncSelect(handle, window, message, events) != 0 ||
        bind(handle, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        NoteFailure();
        closesocket(handle);
        WSASetLastError(gLastError);
        return false;
    }
    Adopt(socket, handle, events, message);
    return true;
}

bool Bind(ScriptContext* context, ScriptSocket* socket, const Value* args) {
    sockaddr_in local;
    if (!SocketAddress(AddressArg(context, args, 2), true, IntegerArg(args, 1, 0), &local))
        return false;
    if (bind(socket->handle, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        NoteFailure();
        return false;
    }
    return true;
}

bool Connect(ScriptContext* context, ScriptSocket* socket, const Value* args) {
    std::string host;
    if (!IsStringArg(args, 1) || !IsIntegerArg(args, 2) ||
        !BoundedAnsi(context, args[1], kMaxHostText, host) || host.empty())
        return false;
    sockaddr_in peer;
    if (!SocketAddress(host, false, args[2].integer, &peer)) return false;
    if (connect(socket->handle, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != 0) {
        NoteFailure();
        return false;
    }
    return true;
}

bool AsyncSelect(ScriptSocket* socket, const Value* args) {
    if (!IsIntegerArg(args, 1)) return true;
    const long events = static_cast<long>(args[1].integer & kAllEvents);
    HWND window = SocketNotifyWindow();
    if (window == nullptr) {
        NoteRefusal(WSAENOBUFS);
        return false;
    }
    if (WSAAsyncSelect(socket->handle, window, socket->message, events) != 0) {
        NoteFailure();
        return false;
    }
    socket->events = events;
    return true;
}

Value Accept(ScriptContext* context, NativeClass* klass, ScriptSocket* socket) {
    sockaddr_in from;
    int size = sizeof from;
    SOCKET handle = accept(socket->handle, reinterpret_cast<sockaddr*>(&from), &size);
    if (handle == INVALID_SOCKET) {
        NoteFailure();
        return MakeUndefined();
    }
    // The new socket selects what the listening one selects, with its
    // message.
    Value accepted = NewSocketInstance(context, klass, handle, socket->events, socket->message);
    if (accepted.tag == ValueTag::Null) {
        closesocket(handle);
        NoteRefusal(WSAENOBUFS);
        return MakeUndefined();
    }
    return accepted;
}

// The bytes of a StringStream from its read position, at most `length`.
size_t SendableBytes(const ByteStream* stream, int64_t length) {
    if (length <= 0 || !(stream->mode & kStreamIn) || stream->fail ||
        stream->readPos >= stream->length)
        return 0;
    uint64_t count = stream->length - stream->readPos;
    if (count > static_cast<uint64_t>(length)) count = static_cast<uint64_t>(length);
    if (count > INT_MAX) count = INT_MAX;
    return static_cast<size_t>(count);
}

int64_t SendBytes(ScriptSocket* socket, ByteStream* stream, size_t count, int flags,
                  const sockaddr_in* to) {
    const char* from = reinterpret_cast<const char*>(stream->bytes + stream->readPos);
    const int sent = to != nullptr ? sendto(socket->handle, from, static_cast<int>(count), flags,
                                            reinterpret_cast<const sockaddr*>(to), sizeof *to)
                                   : send(socket->handle, from, static_cast<int>(count), flags);
    if (sent == SOCKET_ERROR) {
        NoteFailure();
        return -1;
    }
    stream->readPos += static_cast<uint64_t>(sent);
    return sent;
}

int64_t Send(ScriptSocket* socket, const Value* args) {
    ByteStream* stream = HasArg(args, 1) ? StringStreamOf(args[1]) : nullptr;
    if (stream == nullptr) return 0;
    const size_t count = SendableBytes(stream, IntegerArg(args, 2, 0));
    if (count == 0) return 0;
    return SendBytes(socket, stream, count, static_cast<int>(IntegerArg(args, 3, 0)), nullptr);
}

int64_t SendTo(ScriptContext* context, ScriptSocket* socket, const Value* args) {
    ByteStream* stream = HasArg(args, 1) ? StringStreamOf(args[1]) : nullptr;
    if (stream == nullptr) return 0;
    const size_t count = SendableBytes(stream, IntegerArg(args, 2, 0));
    if (count == 0) return 0;
    std::string address;
    if (!IsStringArg(args, 4) || !BoundedAnsi(context, args[4], kMaxHostText, address) ||
        address.empty()) {
        NoteRefusal(WSAEDESTADDRREQ);
        return -1;
    }
    sockaddr_in to;
    if (!SocketAddress(address, false, IntegerArg(args, 3, 0), &to)) return -1;
    return SendBytes(socket, stream, count, static_cast<int>(IntegerArg(args, 5, 0)), &to);
}

// Receives into the stream at its write position. The stream must be able
// to keep what arrives: bytes taken from the socket are never dropped, so a
// stream that cannot take them (read-only, failed, full) refuses the
// receive with WSAENOBUFS before anything is taken.
int64_t ReceiveInto(ScriptSocket* socket, ByteStream* stream, int64_t length, int flags,
                    sockaddr_in* from) {
    if (length > kMaxReceive) length = kMaxReceive;
    if (!(stream->mode & kStreamOut) || stream->fail || stream->writePos >= stream->limit ||
        !ReserveByteStream(stream,
                           static_cast<size_t>(std::min<uint64_t>(
                               stream->writePos + static_cast<uint64_t>(length), stream->limit)))) {
        NoteRefusal(WSAENOBUFS);
        return -1;
    }
    const uint64_t room = stream->limit - stream->writePos;
    if (static_cast<uint64_t>(length) > room) length = static_cast<int64_t>(room);
    std::vector<char> buffer(static_cast<size_t>(length));
    int fromSize = sizeof *from;
    const int got = from != nullptr
                        ? recvfrom(socket->handle, buffer.data(), static_cast<int>(length), flags,
                                   reinterpret_cast<sockaddr*>(from), &fromSize)
                        : recv(socket->handle, buffer.data(), static_cast<int>(length), flags);
    if (got == SOCKET_ERROR) {
        NoteFailure();
        return -1;
    }
    if (got > 0 && !WriteByteStream(stream, reinterpret_cast<const uint8_t*>(buffer.data()), got)) {
        NoteRefusal(WSAENOBUFS);
        return -1;
    }
    return got;
}

int64_t Receive(ScriptSocket* socket, const Value* args) {
    ByteStream* stream = HasArg(args, 1) ? StringStreamOf(args[1]) : nullptr;
    const int64_t length = IntegerArg(args, 2, 0);
    if (stream == nullptr || length <= 0) return 0;
    return ReceiveInto(socket, stream, length, static_cast<int>(IntegerArg(args, 3, 0)), nullptr);
}

// {address, port} of a socket address, with `length` when it is not
// negative.
Value AddressObject(ScriptContext* context, const sockaddr_in& address, int64_t length) {
    ScriptObject* object = NewObject(context);
    Value result = MakeObject(object);
    PutProperty(context, object, InternAtom(context, "address"),
                AnsiString(context, inet_ntoa(address.sin_addr)));
    PutProperty(context, object, InternAtom(context, "port"), MakeInteger(ntohs(address.sin_port)));
    if (length >= 0)
        PutProperty(context, object, InternAtom(context, "length"), MakeInteger(length));
    return result;
}

Value ReceiveFrom(ScriptContext* context, ScriptSocket* socket, const Value* args) {
    ByteStream* stream = HasArg(args, 1) ? StringStreamOf(args[1]) : nullptr;
    const int64_t length = IntegerArg(args, 2, 0);
    if (stream == nullptr || length <= 0) return MakeNull();
    sockaddr_in from = {};
    const int64_t got =
        ReceiveInto(socket, stream, length, static_cast<int>(IntegerArg(args, 3, 0)), &from);
    if (got < 0) return MakeNull();
    return AddressObject(context, from, got);
}

Value EndName(ScriptContext* context, ScriptSocket* socket, bool peer) {
    sockaddr_in address = {};
    int size = sizeof address;
    const int status =
        peer ? getpeername(socket->handle, reinterpret_cast<sockaddr*>(&address), &size)
             : getsockname(socket->handle, reinterpret_cast<sockaddr*>(&address), &size);
    if (status != 0) {
        NoteFailure();
        return MakeNull();
    }
    if (address.sin_family != AF_INET) {
        NoteRefusal(WSAEAFNOSUPPORT);
        return MakeNull();
    }
    return AddressObject(context, address, -1);
}

int64_t GetSockOpt(ScriptSocket* socket, const Value* args) {
    if (!IsIntegerArg(args, 1)) return 0;
    const int level = static_cast<int>(IntegerArg(args, 2, SOL_SOCKET));
    int32_t value = 0;
    int size = sizeof value;
    if (getsockopt(socket->handle, level, static_cast<int>(args[1].integer),
                   reinterpret_cast<char*>(&value), &size) != 0) {
        NoteFailure();
        return 0;
    }
    return value;
}

bool SetSockOpt(ScriptSocket* socket, const Value* args) {
    if (!IsIntegerArg(args, 1) || !IsIntegerArg(args, 2)) return false;
    const int level = static_cast<int>(IntegerArg(args, 3, SOL_SOCKET));
    const int32_t value = static_cast<int32_t>(args[2].integer);
    if (setsockopt(socket->handle, level, static_cast<int>(args[1].integer),
                   reinterpret_cast<const char*>(&value), sizeof value) != 0) {
        NoteFailure();
        return false;
    }
    return true;
}

int64_t Ioctl(ScriptSocket* socket, const Value* args) {
    if (!IsIntegerArg(args, 1)) return -1;
    const long command = static_cast<long>(args[1].integer);
    u_long value = static_cast<u_long>(IntegerArg(args, 2, 0));
    // The notifications need a non-blocking socket, and a blocking call
    // would hold the user-interface thread.
    if (command == static_cast<long>(FIONBIO) && value == 0) {
        NoteRefusal(WSAEINVAL);
        return -1;
    }
    if (ioctlsocket(socket->handle, command, &value) != 0) {
        NoteFailure();
        return -1;
    }
    return static_cast<int64_t>(static_cast<uint32_t>(value));
}

bool ShutDown(ScriptSocket* socket, const Value* args) {
    if (shutdown(socket->handle, static_cast<int>(IntegerArg(args, 1, SD_SEND))) != 0) {
        NoteFailure();
        return false;
    }
    return true;
}

bool Conversion(int member, const Value* args, Value* out) {
    if (member > kNtohs) return false;
    if (!IsIntegerArg(args, 1)) return true;  // Undefined
    const uint32_t n = static_cast<uint32_t>(args[1].integer);
    switch (member) {
        case kHtonl: *out = MakeInteger(static_cast<uint32_t>(htonl(n))); break;
        case kHtons: *out = MakeInteger(htons(static_cast<u_short>(n))); break;
        case kNtohl: *out = MakeInteger(static_cast<uint32_t>(ntohl(n))); break;
        case kNtohs: *out = MakeInteger(ntohs(static_cast<u_short>(n))); break;
    }
    return true;
}

int SocketMethod(ScriptContext* context, NativeClass* klass, void* data, int member, Value* out,
                 Value* args) {
    if (Conversion(member, args, out)) return 1;
    ScriptSocket* socket = data != nullptr ? static_cast<SocketData*>(data)->socket : nullptr;
    if (socket == nullptr) return 0;  // the class object has only the conversions
    switch (member) {
        case kCreate: *out = MakeBoolean(Create(context, socket, args)); break;
        case kBind: *out = MakeBoolean(Bind(context, socket, args)); break;
        case kListen:
            if (listen(socket->handle, static_cast<int>(IntegerArg(args, 1, 5))) != 0) {
                NoteFailure();
                *out = MakeBoolean(false);
            } else {
                *out = MakeBoolean(true);
            }
            break;
        case kAccept: *out = Accept(context, klass, socket); break;
        case kConnect: *out = MakeBoolean(Connect(context, socket, args)); break;
        case kAsyncSelect: *out = MakeBoolean(AsyncSelect(socket, args)); break;
        case kSend: *out = MakeInteger(Send(socket, args)); break;
        case kReceive: *out = MakeInteger(Receive(socket, args)); break;
        case kSendTo: *out = MakeInteger(SendTo(context, socket, args)); break;
        case kReceiveFrom: *out = ReceiveFrom(context, socket, args); break;
        case kGetPeerName: *out = EndName(context, socket, true); break;
        case kGetSockName: *out = EndName(context, socket, false); break;
        case kGetSockOpt: *out = MakeInteger(GetSockOpt(socket, args)); break;
        case kSetSockOpt: *out = MakeBoolean(SetSockOpt(socket, args)); break;
        case kIoctl: *out = MakeInteger(Ioctl(socket, args)); break;
        case kShutDown: *out = MakeBoolean(ShutDown(socket, args)); break;
        case kClose: CloseScriptSocket(socket); break;
    }
    return 1;
}

// `error` is read-only (writes are ignored); a handler property keeps only
// Functions written to it.
int SocketProperty(ScriptContext*, NativeClass*, void* data, int member, int isSet, Value* io) {
    if (member == kError) {
        if (!isSet) *io = MakeInteger(gLastError);
        return 1;
    }
    ScriptSocket* socket = data != nullptr ? static_cast<SocketData*>(data)->socket : nullptr;
    if (socket == nullptr) return 0;
    Value& handler = socket->handlers[kHandlerOfProperty[member]];
    if (!isSet) {
        *io = handler;
    } else if (io->tag == ValueTag::Function) {
        handler = *io;
    }
    return 1;
}

void ConstructSocket(ScriptContext* context, NativeClass* klass, Value*, Value* out) {
    *out = NewSocketInstance(context, klass, INVALID_SOCKET, 0, 0);
}

void CallSocket(ScriptContext* context, NativeClass* klass, void*, Value* out, Value*) {
    *out = NewSocketInstance(context, klass, INVALID_SOCKET, 0, 0);
}

void FinalizeSocket(NativeClass*, void* data) {
    auto* record = static_cast<SocketData*>(data);
    if (record == nullptr || record->socket == nullptr) return;
    CloseScriptSocket(record->socket);
    delete record->socket;
    record->socket = nullptr;
}

void MarkSocket(NativeClass*, void* data) {
    auto* record = static_cast<SocketData*>(data);
    if (record == nullptr || record->socket == nullptr) return;
    for (const Value& handler : record->socket->handlers) GcMarkValue(handler);
}

const ClassSpec kSocketClass = {
    .name = "Socket",
    .text = u"[object Socket]",
    .about =
        "A non-blocking TCP or UDP socket: new Socket(), then create(...); readiness is "
        "reported to the on... handlers from the message loop, data moves through "
        "StringStreams; failures show in error",
    .methods = kMethods,
    .method = SocketMethod,
    .properties = kProperties,
    .property = SocketProperty,
    .call = CallSocket,
    .construct = ConstructSocket,
    .finalize = FinalizeSocket,
    .mark = MarkSocket,
    .instanceSize = sizeof(SocketData),
};

struct SocketGlobal {
    const char* name;
    int64_t value;
};
const SocketGlobal kGlobals[] = {
    {"$FD_READ", FD_READ},         {"$FD_WRITE", FD_WRITE},     {"$FD_OOB", FD_OOB},
    {"$FD_ACCEPT", FD_ACCEPT},     {"$FD_CONNECT", FD_CONNECT}, {"$FD_CLOSE", FD_CLOSE},
    {"$SOCK_STREAM", SOCK_STREAM}, {"$SOCK_DGRAM", SOCK_DGRAM},
};
const MemberRow kGlobalRows[] = {
    {"$FD_READ", "Integer 1: the Socket event of data to read (onReceive)"},
    {"$FD_WRITE", "Integer 2: the Socket event of being able to send (onSend)"},
    {"$FD_OOB", "Integer 4: the Socket event of out-of-band data (onOOBData)"},
    {"$FD_ACCEPT", "Integer 8: the Socket event of a connection to accept (onAccept)"},
    {"$FD_CONNECT", "Integer 16: the Socket event of a finished connect (onConnect)"},
    {"$FD_CLOSE", "Integer 32: the Socket event of the peer closing (onClose)"},
    {"$SOCK_STREAM", "Integer 1: the Socket type of a TCP stream"},
    {"$SOCK_DGRAM", "Integer 2: the Socket type of UDP datagrams"},
};

}  // namespace

void RegisterSocketClass(ScriptContext* context) {
    StartWinsock();
    DefineClass(context, kSocketClass);
    DescribeGlobals(kGlobalRows);
    for (const auto& global : kGlobals) SetGlobal(context, global.name, MakeInteger(global.value));
}

}  // namespace kelpo
