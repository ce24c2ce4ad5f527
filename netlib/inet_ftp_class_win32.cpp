// The FTP client class `_InetFtp_` (Windows only), which Inet.openFtp makes
// and scripts may also construct directly with the same arguments:
// new _InetFtp_(host [, port [, user, password [, passive [, proxy
// [, proxyUser, proxyPassword]]]]]). Construction only reads the settings
// and loads the Internet library; connect logs in.
//
// Each instance owns an FtpConnection (ftp_connection_win32.h) and the two
// progress handlers. A handler runs inside the transfer, with the instance
// as `this`; its error ends only the handler, and the transfer then stops,
// as when it asks to. No member raises a script error: bad arguments and
// failures give false, Null or Undefined.
#include <cstring>
#include <string>
#include <vector>

#include "corelib/callback_roots.h"
#include "netlib/classes.h"
#include "netlib/ftp_connection_win32.h"
#include "netlib/ftp_options.h"
#include "netlib/ftp_transfer_win32.h"
#include "runtime/array.h"
#include "runtime/atoms.h"
#include "runtime/call.h"
#include "runtime/class_kit.h"
#include "runtime/convert.h"
#include "runtime/errors.h"
#include "runtime/gc.h"
#include "runtime/native_args.h"
#include "runtime/object.h"
#include "runtime/strings.h"

namespace kelpo {
namespace {

struct InetFtpData {
    FtpConnection* connection;
    Value onDownload;  // a Function or Undefined
    Value onUpload;
};

enum Method {
    kConnect,
    kClose,
    kCreateDir,
    kRemoveDir,
    kDeleteFile,
    kRename,
    kGetFileInfo,
    kList,
    kDownload,
    kUpload,
};
const MemberRow kMethods[] = {
    {"connect",
     "connect() -> Boolean: closes any open connection, then connects and logs in; true when "
     "connected"},
    {"close", "close() -> nothing: closes the connection (after the transfer when one is running)"},
    {"createDir", "createDir(path) -> Boolean: creates a folder on the server"},
    {"removeDir", "removeDir(path) -> Boolean: removes an empty folder from the server"},
    {"deleteFile", "deleteFile(path) -> Boolean: deletes a file on the server"},
    {"rename", "rename(from, to) -> Boolean: renames or moves a file on the server"},
    {"getFileInfo",
     "getFileInfo(path) -> Object: {size, modifiedDate} of the file or folder (size an Integer, "
     "the date a time value); Null when the server lists none of that name"},
    {"list",
     "list() -> Object: {files, folders}, Arrays of the names in the current folder (without . "
     "and ..); both empty when nothing can be listed"},
    {"download",
     "download(remote, local) -> Boolean: copies a server file into a local file in 512-byte "
     "blocks, calling onDownload after each; true when the whole file arrived"},
    {"upload",
     "upload(local, remote) -> Boolean: copies a local file to the server in 512-byte blocks, "
     "calling onUpload after each; true when the whole file was sent"},
};

enum Property { kCurrentDir, kOnDownload, kOnUpload };
const MemberRow kProperties[] = {
    {"currentDir",
     "String: the server's current folder, undefined when it cannot be read; writing a String "
     "changes to that folder"},
    {"onDownload",
     "function(percent): called after each block of a download with the percentage done as a "
     "String; the download goes on only when it returns true"},
    {"onUpload", "function(percent): the same for uploads"},
};

// A path: a non-empty String that fits a path and holds no NUL (which its
// ANSI form would silently cut off, naming another file).
bool PathText(ScriptContext* context, const Value& value, std::string* path) {
    if (value.tag != ValueTag::String) return false;
    const ScriptString* text = value.string;
    for (uint32_t i = 0; i < text->length; ++i) {
        if (text->chars[i] == 0) return false;
    }
    return BoundedAnsi(context, value, kMaxPathText, *path) && !path->empty();
}

bool PathArg(ScriptContext* context, const Value* args, int k, std::string* path) {
    return HasArg(args, k) && PathText(context, args[k], path);
}

// The context's outcome as it was before a handler ran: a handler's call
// resets the result and error text of the run that started the transfer.
class SavedOutcome {
public:
    explicit SavedOutcome(ScriptContext* context) : context_(context), result_(context->result) {
        memcpy(errorText_, context->errorText, sizeof errorText_);
    }
    ~SavedOutcome() {
        context_->result = result_;
        memcpy(context_->errorText, errorText_, sizeof errorText_);
    }
    SavedOutcome(const SavedOutcome&) = delete;
    SavedOutcome& operator=(const SavedOutcome&) = delete;

private:
    ScriptContext* context_;
    Value result_;
    char errorText_[kErrorTextSize];
};

struct ProgressCall {
    ScriptContext* context;
    InetFtpData* data;
    bool upload;
};

// Raises onDownload or onUpload with the percentage; without a handler the
// transfer goes on. The handler is read afresh for every block, so one that
// replaces or clears itself takes effect at once.
bool ReportProgress(void* owner, uint64_t percent) {
    auto* call = static_cast<ProgressCall*>(owner);
    const Value handler = call->upload ? call->data->onUpload : call->data->onDownload;
    if (handler.tag != ValueTag::Function) return true;
    ScriptContext* context = call->context;
    SavedOutcome saved(context);
    bool goOn = false;
    CatchRaise(context, [&] {
        // The handler, `this` and the argument stay on the value stack, so
        // a collection inside the handler keeps them.
        CallbackRoots roots(context);
        Value self = InstanceValue(call->data);
        Value text = AnsiString(context, std::to_string(percent));
        roots.Push(handler);
        roots.Push(self);
        roots.Push(text);
        Value args[2] = {MakeInteger(1), text};
        if (!CallValue(context, &self, &handler, 2, args)) return;
        goOn = ToBoolean(context, context->result) != 0;
    });
    return goOn;
}

Value FileInfo(ScriptContext* context, FtpConnection* connection, const Value* args) {
    std::string path;
    FtpEntry entry;
    if (!PathArg(context, args, 1, &path) || !FindFtpEntry(connection, path, &entry))
        return MakeNull();
    ScriptObject* object = NewObject(context);
    Value result = MakeObject(object);
    PutProperty(context, object, InternAtom(context, "size"),
                MakeInteger(static_cast<int64_t>(entry.size)));
    PutProperty(context, object, InternAtom(context, "modifiedDate"), MakeFloat(entry.modified));
    return result;
}

Value NameArray(ScriptContext* context, const std::vector<std::string>& names) {
    Value array = NewArray(context, names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        ArraySet(context, array, AnsiString(context, names[i]), i);
    }
    return array;
}

Value List(ScriptContext* context, FtpConnection* connection) {
    const FtpListing listing = ListFtpFolder(connection);
    ScriptObject* object = NewObject(context);
    Value result = MakeObject(object);
    PutProperty(context, object, InternAtom(context, "files"), NameArray(context, listing.files));
    PutProperty(context, object, InternAtom(context, "folders"),
                NameArray(context, listing.folders));
    return result;
}

bool Transfer(ScriptContext* context, InetFtpData* data, const Value* args, bool upload) {
    // download(remote, local) and upload(local, remote).
    std::string first;
    std::string second;
    if (!PathArg(context, args, 1, &first) || !PathArg(context, args, 2, &second)) return false;
    ProgressCall call = {context, data, upload};
    const FtpProgress progress = {ReportProgress, &call};
    return upload ? UploadFtpFile(data->connection, first, second, progress)
                  : DownloadFtpFile(data->connection, first, second, progress);
}

bool PathCommand(ScriptContext* context, FtpConnection* connection, FtpPathCommand command,
                 const Value* args) {
    std::string path;
    return PathArg(context, args, 1, &path) && RunFtpPathCommand(connection, command, path);
}

bool Rename(ScriptContext* context, FtpConnection* connection, const Value* args) {
    std::string from;
    std::string to;
    return PathArg(context, args, 1, &from) && PathArg(context, args, 2, &to) &&
           RenameFtpFile(connection, from, to);
}

InetFtpData* DataOf(void* data) {
    auto* ftp = static_cast<InetFtpData*>(data);
    return ftp != nullptr && ftp->connection != nullptr ? ftp : nullptr;
}

int InetFtpMethod(ScriptContext* context, NativeClass*, void* data, int member, Value* out,
                  Value* args) {
    InetFtpData* ftp = DataOf(data);
    if (ftp == nullptr) return 0;  // the class object has no methods
    FtpConnection* connection = ftp->connection;
    switch (member) {
        case kConnect: *out = MakeBoolean(ConnectFtp(connection)); break;
        case kClose: CloseFtp(connection); break;
        case kCreateDir:
            *out =
                MakeBoolean(PathCommand(context, connection, FtpPathCommand::CreateFolder, args));
            break;
        case kRemoveDir:
            *out =
                MakeBoolean(PathCommand(context, connection, FtpPathCommand::RemoveFolder, args));
            break;
        case kDeleteFile:
            *out = MakeBoolean(PathCommand(context, connection, FtpPathCommand::DeleteFile, args));
            break;
        case kRename: *out = MakeBoolean(Rename(context, connection, args)); break;
        case kGetFileInfo: *out = FileInfo(context, connection, args); break;
        case kList: *out = List(context, connection); break;
        case kDownload: *out = MakeBoolean(Transfer(context, ftp, args, false)); break;
        case kUpload: *out = MakeBoolean(Transfer(context, ftp, args, true)); break;
    }
    return 1;
}

// A handler property keeps a Function; any other value clears it.
int InetFtpProperty(ScriptContext* context, NativeClass*, void* data, int member, int isSet,
                    Value* io) {
    InetFtpData* ftp = DataOf(data);
    if (ftp == nullptr) return 0;  // instances only
    if (member == kCurrentDir) {
        std::string path;
        if (!isSet) {
            if (GetFtpCurrentFolder(ftp->connection, &path)) *io = AnsiString(context, path);
        } else if (PathText(context, *io, &path)) {
            SetFtpCurrentFolder(ftp->connection, path);
        }
        return 1;
    }
    Value& handler = member == kOnDownload ? ftp->onDownload : ftp->onUpload;
    if (!isSet) {
        *io = handler;
    } else {
        handler = io->tag == ValueTag::Function ? *io : MakeUndefined();
    }
    return 1;
}

void ConstructInetFtp(ScriptContext* context, NativeClass* klass, Value* args, Value* out) {
    *out = NewInetFtp(context, klass, args);
}

void CallInetFtp(ScriptContext* context, NativeClass* klass, void*, Value* out, Value* args) {
    *out = NewInetFtp(context, klass, args);
}

void FinalizeInetFtp(NativeClass*, void* data) {
    auto* ftp = static_cast<InetFtpData*>(data);
    if (ftp == nullptr) return;
    FreeFtpConnection(ftp->connection);
    ftp->connection = nullptr;
}

void MarkInetFtp(NativeClass*, void* data) {
    auto* ftp = static_cast<InetFtpData*>(data);
    if (ftp == nullptr) return;
    GcMarkValue(ftp->onDownload);
    GcMarkValue(ftp->onUpload);
}

const ClassSpec kInetFtpClass = {
    .name = "_InetFtp_",
    .text = u"[object Inet.Ftp]",
    .about = "An FTP connection, made by Inet.openFtp(host [, port [, user, password [, passive "
             "[, proxy [, proxyUser, proxyPassword]]]]]) or new _InetFtp_ with the same arguments; "
             "no connection is made until connect().",
    .methods = kMethods,
    .method = InetFtpMethod,
    .properties = kProperties,
    .property = InetFtpProperty,
    .call = CallInetFtp,
    .construct = ConstructInetFtp,
    .finalize = FinalizeInetFtp,
    .mark = MarkInetFtp,
    .instanceSize = sizeof(InetFtpData),
};

}  // namespace

// `new _InetFtp_(...)` and `_InetFtp_(...)` alike, and Inet.openFtp.
Value NewInetFtp(ScriptContext* context, NativeClass* ftpClass, const Value* args) {
    if (ClassSpecOf(ftpClass) != &kInetFtpClass) return MakeNull();
    FtpOptions options;
    if (!ReadFtpOptions(context, args, &options)) return MakeNull();
    FtpConnection* connection = NewFtpConnection(options);
    if (connection == nullptr) return MakeNull();
    Value out = MakeNull();
    if (!CatchRaise(context, [&] {
            NewInstanceOf<InetFtpData>(context, ftpClass, &out)->connection = connection;
        })) {
        FreeFtpConnection(connection);
        return MakeNull();
    }
    return out;
}

NativeClass* DefineInetFtpClass(ScriptContext* context) {
    return DefineClass(context, kInetFtpClass);
}

void RegisterInetFtpClass(ScriptContext* context) { DefineInetFtpClass(context); }

}  // namespace kelpo
