// The SendMail class: an SMTP client that delivers a Mail (EHLO or HELO,
// AUTH with CRAM-MD5, LOGIN or PLAIN, one RCPT for every recipient of to,
// cc and bcc, DATA) and gives scripts raw command access. The handler
// `onSend` hears every reply, every command and each message line sent;
// its answer to a line decides whether the delivery goes on.
#include <winsock2.h>

#include <new>
#include <string>
#include <vector>

#include "netlib/classes.h"
#include "netlib/mail_addresses.h"
#include "netlib/mail_class_win32.h"
#include "netlib/mail_connection_win32.h"
#include "netlib/smtp_replies.h"
#include "netlib/winsock_start_win32.h"
#include "runtime/class_kit.h"
#include "runtime/errors.h"
#include "runtime/gc.h"
#include "runtime/native_args.h"

namespace kelpo {
namespace {

// Replies are short; a server that sends more than this is not answering.
constexpr size_t kMaxSmtpReply = 65536;
constexpr size_t kMaxCommandText = 65536;

enum Method { kSend, kConnect, kCommand, kWrite, kClose };
const MemberRow kMethods[] = {
    {"send",
     "send(mail) -> Boolean: delivers the Mail (from and to set) on a new connection, "
     "authenticating when username and password are set; true when the server took it"},
    {"connect",
     "connect() -> Boolean: opens a connection to server and port (closing an open one) and "
     "reads the greeting"},
    {"command",
     "command(text) -> String: sends the text as it is (end it with \"\\r\\n\") and gives the "
     "reply; false without a connection or on failure"},
    {"write", "write(text) -> Boolean: sends the text as it is; true when all was sent"},
    {"close", "close() -> nothing: closes the connection"},
};

const MemberRow kProperties[] = {
    {"server", "String: the SMTP server's name or dotted address (\"localhost\")"},
    {"port", "Integer: the server's port (25)"},
    {"username", "String: the user name to authenticate with"},
    {"password", "String: the password to authenticate with"},
    {"onSend",
     "function(kind, text): 0 a socket error, 1 a reply, 2 a command sent, 3 the length of a "
     "message line sent (answer true to go on)"},
};

bool SetAndNonEmpty(const std::string* text) { return text != nullptr && !text->empty(); }

// Sends a command line and reports it; false when it could not be sent.
bool SendCommand(MailExchange& exchange, const std::string& line) {
    if (!SendMailBytes(exchange, line)) return false;
    std::string shown = line;
    while (!shown.empty() && (shown.back() == '\n' || shown.back() == '\r')) shown.pop_back();
    ReportToHandler(exchange, kReportCommand, shown);
    return true;
}

bool ReadReply(MailExchange& exchange, std::string* reply) {
    if (!ReceiveMailReply(exchange, kMaxSmtpReply, SmtpReplyComplete, reply)) return false;
    ReportToHandler(exchange, kReportReply, *reply);
    return true;
}

// A command and its reply, which must lie in [expected, expected + 100).
bool Exchange(MailExchange& exchange, const std::string& line, int expected,
              std::string* reply = nullptr) {
    std::string answer;
    if (!SendCommand(exchange, line) || !ReadReply(exchange, &answer)) return false;
    if (reply != nullptr) *reply = answer;
    return SmtpReplyIs(answer, expected);
}

// The name this machine greets with: its host name, else the dotted
// address of "localhost".
std::string LocalName() {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) == 0 && name[0] != '\0') return name;
    const hostent* host = gethostbyname("localhost");
    if (host != nullptr && host->h_addr_list != nullptr && host->h_addr_list[0] != nullptr) {
        in_addr address;
        memcpy(&address, host->h_addr_list[0], 4);
        return inet_ntoa(address);
    }
    return "127.0.0.1";
}

bool Authenticate(MailExchange& exchange, SmtpAuthMethod method) {
    const std::string& user = *exchange.client->username;
    const std::string& password = *exchange.client->password;
    std::string reply;
    switch (method) {
        case kAuthCramMd5: {
            if (!Exchange(exchange, "AUTH CRAM-MD5\r\n", 300, &reply)) return false;
            // The challenge follows the code and a space, up to the line end.
            std::string challenge = reply.size() > 4 ? reply.substr(4) : std::string();
            const size_t end = challenge.find("\r\n");
            if (end != std::string::npos) challenge.resize(end);
            const std::string answer = CramMd5Answer(user, password, challenge);
            return !answer.empty() && Exchange(exchange, answer + "\r\n", 200);
        }
        case kAuthLogin:
            return Exchange(exchange, "AUTH LOGIN\r\n", 300) &&
                   Exchange(exchange, Base64Of(user) + "\r\n", 300) &&
                   Exchange(exchange, Base64Of(password) + "\r\n", 200);
        case kAuthPlain:
            return Exchange(exchange, "AUTH PLAIN " + AuthPlainArgument(user, password) + "\r\n",
                            200);
    }
    return true;
}

// The message in lines as DATA sends them: each line ends with CR LF,
// lines starting with "." get a second one, and the BCC header stays out
// of what every recipient receives.
bool SendMessageLines(MailExchange& exchange, const std::string& text) {
    bool inHeader = true;
    bool skipping = false;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        const size_t next = end == std::string::npos ? text.size() : end + 1;
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        at = next;
        if (inHeader) {
            if (line.empty()) {
                inHeader = false;
            } else if (line[0] == ' ' || line[0] == '\t') {
                if (skipping) continue;
            } else {
                skipping = line.size() >= 4 && _strnicmp(line.c_str(), "BCC:", 4) == 0;
                if (skipping) continue;
            }
        }
        line = DotStuffed(line) + "\r\n";
        if (!SendMailBytes(exchange, line)) return false;
        if (!ReportToHandler(exchange, kReportProgress, std::to_string(line.size()))) {
            CloseMailSocket(exchange.client);
            return false;
        }
    }
    return true;
}

// The delivery itself, on a connection already open and greeted.
bool Deliver(MailExchange& exchange, const MailHeaders& headers, const std::string& text) {
    MailClient* client = exchange.client;
    const std::string name = LocalName();
    std::string reply;
    if (Exchange(exchange, "EHLO " + name + "\r\n", 200, &reply)) {
        const SmtpAuthMethod method = PreferredAuthMethod(OfferedAuthMethods(reply));
        if (SetAndNonEmpty(client->username) && SetAndNonEmpty(client->password) && method != 0 &&
            !Authenticate(exchange, method))
            return false;
    } else if (client->socket == INVALID_SOCKET ||
               !Exchange(exchange, "HELO " + name + "\r\n", 200)) {
        return false;
    }
    const std::vector<std::string> senders = SplitAddressList(headers.from);
    const std::string sender = senders.empty() ? std::string() : BareAddress(senders[0]);
    if (sender.empty() || !Exchange(exchange, "MAIL FROM:<" + sender + ">\r\n", 200)) return false;
    // Every recipient; one refused does not stop the others.
    for (const std::string* list : {&headers.to, &headers.cc, &headers.bcc}) {
        for (const std::string& entry : SplitAddressList(*list)) {
            const std::string address = BareAddress(entry);
            if (address.empty()) continue;
            Exchange(exchange, "RCPT TO:<" + address + ">\r\n", 200);
            if (client->socket == INVALID_SOCKET) return false;
        }
    }
    if (!Exchange(exchange, "DATA\r\n", 300)) return false;
    if (!SendMessageLines(exchange, text)) return false;
    if (!Exchange(exchange, ".\r\n", 200)) return false;
    Exchange(exchange, "QUIT\r\n", 200);
    return true;
}

bool Greeted(MailExchange& exchange) {
    std::string greeting;
    return ReadReply(exchange, &greeting) && SmtpReplyIs(greeting, 200);
}

bool Send(MailExchange& exchange, const Value* args) {
    MailMessage* mail = HasArg(args, 1) ? MailMessageOf(args[1]) : nullptr;
    if (mail == nullptr || mail->headers.from.empty() || mail->headers.to.empty()) return false;
    std::string text;
    if (!MailText(mail, CurrentMailWriting(), &text)) return false;
    // Copies: the handler may change the Mail while it is sent.
    const MailHeaders headers = mail->headers;
    int code = 0;
    if (!OpenMailSocket(exchange.client, &code)) {
        ReportToHandler(exchange, kReportSocketError, "can't connect to the smtp server");
        return false;
    }
    const bool delivered = Greeted(exchange) && Deliver(exchange, headers, text);
    CloseMailSocket(exchange.client);
    return delivered;
}

bool Connect(MailExchange& exchange) {
    int code = 0;
    if (!OpenMailSocket(exchange.client, &code)) {
        ReportSocketError(exchange, code);
        return false;
    }
    if (Greeted(exchange)) return true;
    CloseMailSocket(exchange.client);
    return false;
}

Value Command(ScriptContext* context, MailExchange& exchange, const Value* args) {
    std::string text;
    if (exchange.client->socket == INVALID_SOCKET || !IsStringArg(args, 1) ||
        !BoundedAnsi(context, args[1], kMaxCommandText, text))
        return MakeBoolean(false);
    std::string reply;
    if (!SendCommand(exchange, text) || !ReadReply(exchange, &reply)) return MakeBoolean(false);
    return AnsiString(context, reply);
}

int SendMailMethod(ScriptContext* context, NativeClass*, void* data, int member, Value* out,
                   Value* args) {
    MailClient* client = MailClientOf(data);
    if (client == nullptr) return 0;
    if (member == kClose) {
        CloseMailSocket(client);
        return 1;
    }
    // A handler that calls its own client while an exchange runs is refused.
    if (client->busy) {
        *out = MakeBoolean(false);
        return 1;
    }
    MailExchange exchange = {context, client, InstanceValue(data)};
    client->busy = true;
    try {
        switch (member) {
            case kSend: *out = MakeBoolean(Send(exchange, args)); break;
            case kConnect: *out = MakeBoolean(Connect(exchange)); break;
            case kCommand: *out = Command(context, exchange, args); break;
            case kWrite: {
                std::string text;
                const bool given = client->socket != INVALID_SOCKET && IsStringArg(args, 1) &&
                                   BoundedAnsi(context, args[1], SIZE_MAX, text);
                *out = MakeBoolean(given && SendMailBytes(exchange, text));
                break;
            }
        }
    } catch (const std::bad_alloc&) {
        CloseMailSocket(client);
        *out = MakeBoolean(false);
    } catch (...) {
        client->busy = false;
        throw;  // a script error raised inside: it unwinds to its frame
    }
    client->busy = false;
    return 1;
}

void ConstructSendMail(ScriptContext* context, NativeClass* klass, Value*, Value* out) {
    NewMailClientInstance(context, klass, 25, out);
}

void CallSendMail(ScriptContext* context, NativeClass* klass, void*, Value* out, Value*) {
    NewMailClientInstance(context, klass, 25, out);
}

const ClassSpec kSendMailClass = {
    .name = "SendMail",
    .text = u"[object SendMail]",
    .about =
        "An SMTP client: sends Mail objects, authenticating with CRAM-MD5, LOGIN or "
        "PLAIN as the server offers; made with new SendMail().",
    .methods = kMethods,
    .method = SendMailMethod,
    .properties = kProperties,
    .property = MailClientDataProperty,
    .call = CallSendMail,
    .construct = ConstructSendMail,
    .finalize = FinalizeMailClientData,
    .mark = MarkMailClientData,
    .instanceSize = sizeof(MailClientData),
};

}  // namespace

void RegisterSendMailClass(ScriptContext* context) {
    StartWinsock();
    DefineClass(context, kSendMailClass);
}

}  // namespace kelpo
