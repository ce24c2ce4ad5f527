// The Mail class: a MIME message kept in a temporary file (mail_message.h),
// with its header values as properties, the plain and HTML bodies, HTML
// items referenced by Content-ID and attachments. Files added take their
// content type from the registry's entry for their extension.
#include "netlib/mail_class_win32.h"

#include <windows.h>

#include <new>
#include <string>
#include <vector>

#include "netlib/classes.h"
#include "netlib/mail_charsets.h"
#include "platform/files.h"
#include "runtime/atoms.h"
#include "runtime/class_kit.h"
#include "runtime/convert.h"
#include "runtime/errors.h"
#include "runtime/native_args.h"

namespace kelpo {
namespace {

// Header values longer than this are cut: no header line is that long.
constexpr size_t kMaxHeaderText = 65536;
constexpr size_t kMaxContentType = 64;

// The global that keeps the class reachable for NewMailValue even when a
// script rebinds "Mail"; its name is no identifier, so no script reaches it.
const char kClassGlobal[] = "Mail class";

struct MailData {
    MailMessage* message;
};

enum Method {
    kAddAttachment,
    kRemoveAttachment,
    kGetAttachmentName,
    kGetAttachmentContentType,
    kSaveAttachment,
    kAddHtmlItem,
    kRemoveHtmlItem,
    kGetHtmlItemName,
    kGetHtmlItemId,
    kSaveHtmlItem,
    kSave,
    kLoad,
    kAsText,
};
const MemberRow kMethods[] = {
    {"addAttachment",
     "addAttachment(path) -> Boolean: adds the file as an attachment (base64, its content type "
     "from the registry)"},
    {"removeAttachment", "removeAttachment(n) -> Boolean: removes attachment n (from 0)"},
    {"getAttachmentName", "getAttachmentName(n) -> String: the file name of attachment n"},
    {"getAttachmentContentType",
     "getAttachmentContentType(n) -> String: the content type of attachment n"},
    {"saveAttachment", "saveAttachment(n, path) -> Boolean: writes attachment n decoded to path"},
    {"addHtmlItem",
     "addHtmlItem(path) -> Boolean: adds a file the HTML body shows; \"path*id\" gives its "
     "Content-ID, else it is the file name"},
    {"removeHtmlItem", "removeHtmlItem(n) -> Boolean: removes HTML item n"},
    {"getHtmlItemName", "getHtmlItemName(n) -> String: the file name of HTML item n"},
    {"getHtmlItemID", "getHtmlItemID(n) -> String: the Content-ID of HTML item n"},
    {"saveHtmlItem", "saveHtmlItem(n, path) -> Boolean: writes HTML item n decoded to path"},
    {"save", "save(path) -> nothing: writes the whole message to path"},
    {"load", "load(path) -> nothing: reads the message from the file at path"},
    {"asText", "asText() -> String: the whole message text"},
};

enum Property {
    kFrom,
    kReplyTo,
    kTo,
    kSubject,
    kCc,
    kBcc,
    kDate,
    kPriority,
    kSize,
    kText,
    kHtml,
    kAttachmentCount,
    kHtmlItemCount,
};
const MemberRow kProperties[] = {
    {"from", "String: the sender"},
    {"replyTo", "String: the address replies go to"},
    {"to", "String: the recipients, comma-separated"},
    {"subject", "String: the subject (non-ASCII text is sent as encoded words)"},
    {"cc", "String: the recipients of copies, comma-separated"},
    {"bcc", "String: the recipients of blind copies, comma-separated (not sent as a header)"},
    {"date", "String: the Date header as written"},
    {"priority", "Integer: the X-Priority (3 by default)"},
    {"size", "Integer, read-only: the length of the message text"},
    {"text", "String: the plain-text body; writing it sets a new body"},
    {"html", "String: the HTML body; writing it sets a new body"},
    {"attachmentCount", "Integer, read-only: the number of attachments"},
    {"htmlItemCount", "Integer, read-only: the number of HTML items"},
};

std::string* HeaderField(MailHeaders& headers, int member) {
    switch (member) {
        case kFrom: return &headers.from;
        case kReplyTo: return &headers.replyTo;
        case kTo: return &headers.to;
        case kSubject: return &headers.subject;
        case kCc: return &headers.cc;
        case kBcc: return &headers.bcc;
        case kDate: return &headers.date;
    }
    return nullptr;
}

// The registry's "Content Type" of the file's extension, else
// "application/octet-stream".
std::string ContentTypeOf(const std::string& path) {
    const size_t dot = path.find_last_of(".\\/");
    std::string type = "application/octet-stream";
    if (dot == std::string::npos || path[dot] != '.') return type;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.substr(dot).c_str(), 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return type;
    char value[kMaxContentType + 1] = {};
    DWORD size = kMaxContentType;
    DWORD kind = 0;
    if (RegQueryValueExA(key, "Content Type", nullptr, &kind, reinterpret_cast<BYTE*>(value),
                         &size) == ERROR_SUCCESS &&
        kind == REG_SZ && size > 0) {
        value[size < kMaxContentType ? size : kMaxContentType] = '\0';
        if (value[0] != '\0') type = value;
    }
    RegCloseKey(key);
    return type;
}

std::string FileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/:");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool AddFile(ScriptContext* context, MailMessage* mail, bool htmlItem, const Value* args) {
    std::string path;
    // A path and, for an HTML item, "*" and its Content-ID.
    if (!IsStringArg(args, 1) || !BoundedAnsi(context, args[1], kMaxPathText + 1024, path))
        return false;
    std::string id;
    const size_t star = htmlItem ? path.find('*') : std::string::npos;
    if (star != std::string::npos) {
        id = path.substr(star + 1);
        path.resize(star);
    }
    if (path.empty() || path.size() > kMaxPathText) return false;
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, bytes)) return false;
    const std::string name = FileNameOf(path);
    if (htmlItem && id.empty()) id = name;
    return AddMailFile(mail, htmlItem, std::string(bytes.begin(), bytes.end()), ContentTypeOf(path),
                       name, id, CurrentMailWriting());
}

// The part at position n of the list, or null.
const StoredPart* PartAt(const std::vector<StoredPart>& parts, const Value* args) {
    if (!IsIntegerArg(args, 1) || args[1].integer < 0 ||
        static_cast<uint64_t>(args[1].integer) >= parts.size())
        return nullptr;
    return &parts[static_cast<size_t>(args[1].integer)];
}

bool SavePart(ScriptContext* context, MailMessage* mail, const StoredPart* part,
              const Value* args) {
    std::string path;
    if (part == nullptr || !IsStringArg(args, 2) ||
        !BoundedAnsi(context, args[2], kMaxPathText, path) || path.empty())
        return false;
    const std::string bytes = DecodedPart(*mail, *part);
    return WriteWholeFile(path, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

std::string PathArg(ScriptContext* context, const Value* args, int k) {
    std::string path;
    if (!IsStringArg(args, k) || !BoundedAnsi(context, args[k], kMaxPathText, path)) return "";
    return path;
}

int MailMethod(ScriptContext* context, NativeClass*, void* data, int member, Value* out,
               Value* args) {
    MailMessage* mail = data != nullptr ? static_cast<MailData*>(data)->message : nullptr;
    if (mail == nullptr) return 0;
    const MailWriting how = CurrentMailWriting();
    switch (member) {
        case kAddAttachment: *out = MakeBoolean(AddFile(context, mail, false, args)); break;
        case kAddHtmlItem: *out = MakeBoolean(AddFile(context, mail, true, args)); break;
        case kRemoveAttachment:
        case kRemoveHtmlItem: {
            const bool item = member == kRemoveHtmlItem;
            const bool given = IsIntegerArg(args, 1) && args[1].integer >= 0;
            *out = MakeBoolean(
                given && RemoveMailFile(mail, item, static_cast<size_t>(args[1].integer), how));
            break;
        }
        case kGetAttachmentName:
        case kGetAttachmentContentType:
        case kGetHtmlItemName:
        case kGetHtmlItemId: {
            const bool item = member == kGetHtmlItemName || member == kGetHtmlItemId;
            const StoredPart* part = PartAt(item ? mail->htmlItems : mail->attachments, args);
            if (part == nullptr) break;
            const std::string& text = member == kGetAttachmentContentType ? part->contentType
                                      : member == kGetHtmlItemId          ? part->contentId
                                                                          : part->name;
            *out = AnsiString(context, text);
            break;
        }
        case kSaveAttachment:
            *out = MakeBoolean(SavePart(context, mail, PartAt(mail->attachments, args), args));
            break;
        case kSaveHtmlItem:
            *out = MakeBoolean(SavePart(context, mail, PartAt(mail->htmlItems, args), args));
            break;
        case kSave: {
            const std::string path = PathArg(context, args, 1);
            std::string text;
            if (!path.empty() && MailText(mail, how, &text))
                WriteWholeFile(path, reinterpret_cast<const uint8_t*>(text.data()), text.size());
            break;
        }
        case kLoad: {
            const std::string path = PathArg(context, args, 1);
            std::vector<uint8_t> bytes;
            if (!path.empty() && ReadWholeFile(path, bytes))
                LoadMailText(mail, std::string(bytes.begin(), bytes.end()));
            break;
        }
        case kAsText: {
            std::string text;
            MailText(mail, how, &text);
            *out = AnsiString(context, text);
            break;
        }
    }
    return 1;
}

int MailProperty(ScriptContext* context, NativeClass*, void* data, int member, int isSet,
                 Value* io) {
    MailMessage* mail = data != nullptr ? static_cast<MailData*>(data)->message : nullptr;
    if (mail == nullptr) return 0;
    if (std::string* field = HeaderField(mail->headers, member)) {
        if (!isSet) {
            *io = AnsiString(context, *field);
        } else {
            *field = AnsiOfValue(context, *io, kMaxHeaderText);
            mail->dirty = true;
        }
        return 1;
    }
    switch (member) {
        case kPriority:
            if (!isSet) {
                *io = MakeInteger(mail->headers.priority);
            } else {
                mail->headers.priority = ToInt32(context, *io);
                mail->dirty = true;
            }
            break;
        case kText:
        case kHtml: {
            const bool html = member == kHtml;
            if (isSet) {
                SetMailBody(mail, html, AnsiOfValue(context, *io, SIZE_MAX), CurrentMailWriting());
            } else if (html ? mail->hasHtml : mail->hasText) {
                *io = AnsiString(context, BodyText(*mail, html ? mail->html : mail->text));
            } else {
                *io = AnsiString(context, "");
            }
            break;
        }
        case kSize:
            if (!isSet) {
                const bool current = MakeMailCurrent(mail, CurrentMailWriting());
                const int64_t length = current ? StreamFileLength(mail->file) : -1;
                *io = MakeInteger(length < 0 ? 0 : length);
            }
            break;
        case kAttachmentCount:
            if (!isSet) *io = MakeInteger(static_cast<int64_t>(mail->attachments.size()));
            break;
        case kHtmlItemCount:
            if (!isSet) *io = MakeInteger(static_cast<int64_t>(mail->htmlItems.size()));
            break;
    }
    return 1;
}

void NewMail(ScriptContext* context, NativeClass* klass, Value* out) {
    auto* message = new (std::nothrow) MailMessage;
    if (message == nullptr) {
        *out = MakeNull();
        return;
    }
    // Without a temporary file the instance is made all the same; every
    // change then fails.
    OpenMailMessage(message);
    MailData* data = nullptr;
    if (!CatchRaise(context, [&] { data = NewInstanceOf<MailData>(context, klass, out); })) {
        CloseMailMessage(message);
        delete message;
        *out = MakeNull();
        return;
    }
    data->message = message;
}

void ConstructMail(ScriptContext* context, NativeClass* klass, Value*, Value* out) {
    NewMail(context, klass, out);
}

void CallMail(ScriptContext* context, NativeClass* klass, void*, Value* out, Value*) {
    NewMail(context, klass, out);
}

void FinalizeMail(NativeClass*, void* data) {
    auto* record = static_cast<MailData*>(data);
    if (record == nullptr || record->message == nullptr) return;
    CloseMailMessage(record->message);
    delete record->message;
    record->message = nullptr;
}

const ClassSpec kMailClass = {
    .name = "Mail",
    .text = u"[object Mail]",
    .about =
        "A MIME message kept in a temporary file: header values, plain and HTML bodies, "
        "HTML items referenced by Content-ID and attachments; made with new Mail(), "
        "filled by RecvMail.retr or load.",
    .methods = kMethods,
    .method = MailMethod,
    .properties = kProperties,
    .property = MailProperty,
    .call = CallMail,
    .construct = ConstructMail,
    .finalize = FinalizeMail,
    .instanceSize = sizeof(MailData),
};

}  // namespace

MailMessage* MailMessageOf(const Value& value) {
    if (value.tag != ValueTag::Native || value.native->data == nullptr ||
        ClassSpecOf(value.native->klass) != &kMailClass)
        return nullptr;
    return static_cast<MailData*>(value.native->data)->message;
}

Value NewMailValue(ScriptContext* context) {
    const Value holder = GetGlobal(context, kClassGlobal);
    if (holder.tag != ValueTag::Native || ClassSpecOf(holder.native->klass) != &kMailClass)
        return MakeNull();
    Value out = MakeNull();
    NewMail(context, holder.native->klass, &out);
    return out;
}

MailWriting CurrentMailWriting() {
    return {AnsiCharsetName(GetACP()),
            {static_cast<uint32_t>(GetCurrentProcessId()), static_cast<uint32_t>(GetTickCount())}};
}

void RegisterMailClass(ScriptContext* context) {
    DefineClass(context, kMailClass);
    SetGlobal(context, kClassGlobal, GetGlobal(context, "Mail"));
}

}  // namespace kelpo
