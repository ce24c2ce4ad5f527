#include "tools/class-pages/class_pages.h"

#include <cstring>
#include <map>

#include "compiler/engine.h"
#include "runtime/atoms.h"
#include "runtime/class_kit.h"
#include "runtime/errors.h"
#include "runtime/native.h"

namespace kelpo {
namespace {

struct GroupText {
    const char* group;
    const char* title;
    const char* where;
};

// Where each library group's globals exist.
const GroupText kGroups[] = {
    {"Engine", "The engine's own functions", "Every program that runs scripts."},
    {"Core", "The language's classes and global functions", "Every program that runs scripts."},
    {"System", "The system library", "The projector and the `kelpo` command."},
    {"Network", "The network library", "The projector and the `kelpo` command (Windows)."},
    {"Console", "The `kelpo` command's own functions", "The `kelpo` command only."},
    {"Player", "The player's script objects", "The projector."},
    {"Projector", "The running projector's objects", "The projector only."},
};

const GroupText* GroupOf(const char* group) {
    for (const auto& g : kGroups) {
        if (strcmp(g.group, group) == 0) return &g;
    }
    return nullptr;
}

// Table cells hold one line; a "|" would end the cell.
std::string Cell(const char* text) {
    std::string out;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p == '|') {
            out += "\\|";
        } else if (*p == '\n') {
            out += ' ';
        } else {
            out += *p;
        }
    }
    return out;
}

void AddTable(ClassPages* pages, const char* owner, const char* heading, const NameTable& table) {
    if (table.count == 0) return;
    std::string& md = pages->markdown;
    md += "\n| ";
    md += heading;
    md += " | |\n|---|---|\n";
    for (int i = 0; i < table.count; ++i) {
        const char* name = table.NameAt(i);
        const char* text = table.TextAt(i);
        if (text == nullptr || *text == '\0') {
            pages->undescribed.push_back(std::string(owner) + "." + name);
            text = "";
        }
        md += "| `";
        md += name;
        md += "` | ";
        md += Cell(text);
        md += " |\n";
    }
}

void AddClass(ClassPages* pages, const char* global, const ClassSpec& spec) {
    std::string& md = pages->markdown;
    md += "\n### ";
    md += global;
    md += "\n\n";
    if (spec.alias != nullptr) {
        md += "Also reached as `";
        md += strcmp(global, spec.name) == 0 ? spec.alias : spec.name;
        md += "`. ";
    }
    if (spec.about != nullptr && *spec.about != '\0') {
        md += spec.about;
        md += ".\n";
    } else {
        pages->undescribed.push_back(global);
    }
    AddTable(pages, global, "method", spec.methods);
    AddTable(pages, global, "property", spec.properties);
    AddTable(pages, global, "other member", spec.otherMembers);
}

// A heading's anchor as markdown viewers make it: lower case, blanks to
// hyphens, other punctuation dropped.
std::string Anchor(const std::string& heading) {
    std::string out;
    for (char c : heading) {
        if (c >= 'A' && c <= 'Z') {
            out += static_cast<char>(c - 'A' + 'a');
        } else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_') {
            out += c;
        } else if (c == ' ') {
            out += '-';
        }
    }
    return out;
}

struct Section {
    const char* group;
    std::string classes;
    std::vector<std::pair<std::string, const Value*>> others;
};

}  // namespace

ClassPages MakeClassPages(const GroupedStep* steps, int count) {
    ClassPages pages;
    SetDefaultRegistration(nullptr);
    ScriptRunner* runner = NewScriptRunner(nullptr);
    if (runner == nullptr) {
        pages.undescribed.push_back("(no script engine)");
        return pages;
    }
    ScriptContext* context = runner->context;

    // What the engine itself binds comes first; then each step adds its own.
    std::vector<std::string> order;             // groups in first-seen order
    std::map<std::string, ClassPages> byGroup;  // markdown per group
    std::map<std::string, std::vector<std::pair<std::string, std::string>>> globalsByGroup;
    std::map<std::string, std::vector<std::string>> classesByGroup;
    std::vector<bool> seen;
    std::map<const ClassSpec*, bool> described;

    auto collect = [&](const char* group) {
        if (byGroup.find(group) == byGroup.end()) order.push_back(group);
        ClassPages& page = byGroup[group];
        for (uint32_t atom = 0; atom < context->atomCount; ++atom) {
            if (atom < seen.size() && seen[atom]) continue;
            const Value& v = context->atomValues[atom];
            if (v.tag == ValueTag::Undefined) continue;
            if (seen.size() <= atom) seen.resize(atom + 1, false);
            seen[atom] = true;
            const char* name = AtomName(context, static_cast<Atom>(atom));
            const ClassSpec* spec =
                v.tag == ValueTag::Native ? ClassSpecOf(v.native->klass) : nullptr;
            if (spec != nullptr) {
                if (described[spec]) continue;  // an alias, described with its class
                described[spec] = true;
                AddClass(&page, name, *spec);
                classesByGroup[group].push_back(name);
                continue;
            }
            const MemberRow* row = GlobalDescription(name);
            if (row == nullptr) page.undescribed.push_back(name);
            globalsByGroup[group].push_back({name, row != nullptr ? Cell(row->text) : ""});
        }
    };
    collect("Engine");
    for (int i = 0; i < count; ++i) {
        const GroupedStep& step = steps[i];
        bool ok = CatchRaise(context, [&] { step.registerFn(context); });
        if (!ok) pages.undescribed.push_back(std::string("(step failed: ") + step.names + ")");
        collect(step.group);
    }

    pages.markdown =
        "# Script classes and globals\n\n"
        "Every class, global function and global value that scripts see, by library, in the\n"
        "order the libraries register them. Made by `kelpo-class-pages` from the member\n"
        "tables kept next to the code (see docs/architecture.md); the test command checks that\n"
        "this page matches them and that nothing is left without a line.\n\n"
        "A method's line starts with its call form and result kind, then says what it does:\n"
        "`name(a [, b]) -> Kind: ...`, optional arguments in brackets. The kinds are Integer,\n"
        "Float, Number (either), String, Boolean, Array, Object, Null, a class name, any, or\n"
        "nothing (no result). A property's line starts with its kind, and \"read-only\" where\n"
        "a script cannot set it. A global function reads like a method.\n";
    // The contents: each library with its classes.
    pages.markdown += "\n## Contents\n\n";
    for (const std::string& group : order) {
        if (byGroup[group].markdown.empty() && globalsByGroup[group].empty()) continue;
        const GroupText* text = GroupOf(group.c_str());
        const std::string title = text != nullptr ? text->title : group;
        pages.markdown += "- [" + title + "](#" + Anchor(title) + ")";
        const auto& classes = classesByGroup[group];
        for (size_t i = 0; i < classes.size(); ++i) {
            pages.markdown += i == 0 ? ": " : ", ";
            pages.markdown += "[" + classes[i] + "](#" + Anchor(classes[i]) + ")";
        }
        pages.markdown += '\n';
    }
    for (const std::string& group : order) {
        ClassPages& page = byGroup[group];
        auto& globals = globalsByGroup[group];
        if (page.markdown.empty() && globals.empty()) continue;
        const GroupText* text = GroupOf(group.c_str());
        pages.markdown += "\n## ";
        pages.markdown += text != nullptr ? text->title : group.c_str();
        pages.markdown += "\n\n";
        if (text != nullptr) {
            pages.markdown += text->where;
            pages.markdown += '\n';
        }
        if (!globals.empty()) {
            pages.markdown += "\n| global | |\n|---|---|\n";
            for (const auto& g : globals) {
                pages.markdown += "| `" + g.first + "` | " + g.second + " |\n";
            }
        }
        pages.markdown += page.markdown;
        pages.undescribed.insert(pages.undescribed.end(), page.undescribed.begin(),
                                 page.undescribed.end());
    }
    FreeScriptRunner(runner);
    return pages;
}

}  // namespace kelpo
