#include "cli/Json.h"

#include <cstdio>

namespace orvex::cli {

namespace {

std::string Quote(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20 || c >= 0x7F) {
                    // Texts from data files are 8-bit; keep them valid JSON.
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out + "\"";
}

}  // namespace

void JsonWriter::Add(std::unique_ptr<Node> n) {
    n->key = m_pendingKey;
    m_pendingKey.clear();
    if (m_stack.empty()) {
        m_root = std::move(n);
        return;
    }
    m_stack.back()->children.push_back(std::move(n));
}

void JsonWriter::Open(Node::Kind kind) {
    auto n = std::make_unique<Node>();
    n->kind = kind;
    Node* raw = n.get();
    Add(std::move(n));
    m_stack.push_back(raw);
}

void JsonWriter::RenderJson(const Node& n, std::string& out, int indent) {
    std::string pad(static_cast<std::size_t>(indent) * 2, ' ');
    switch (n.kind) {
        case Node::String:
            out += Quote(n.text);
            return;
        case Node::Number:
            out += n.text;
            return;
        case Node::Object:
        case Node::Array: {
            const bool object = n.kind == Node::Object;
            out += object ? "{" : "[";
            if (n.children.empty()) {
                out += object ? "}" : "]";
                return;
            }
            out += "\n";
            for (std::size_t i = 0; i < n.children.size(); ++i) {
                out += pad + "  ";
                if (object) out += Quote(n.children[i]->key) + ": ";
                RenderJson(*n.children[i], out, indent + 1);
                out += i + 1 < n.children.size() ? ",\n" : "\n";
            }
            out += pad + (object ? "}" : "]");
        }
    }
}

void JsonWriter::RenderText(const Node& n, std::string& out, int indent) {
    std::string pad(static_cast<std::size_t>(indent) * 2, ' ');
    int index = 0;
    for (const auto& c : n.children) {
        std::string label = n.kind == Node::Array ? std::to_string(++index) : c->key;
        if (c->kind == Node::Object) {
            out += pad + label + ":\n";
            RenderText(*c, out, indent + 1);
        } else if (c->kind == Node::Array) {
            bool scalars = true;
            for (const auto& e : c->children)
                scalars = scalars && (e->kind == Node::String || e->kind == Node::Number);
            if (scalars) {
                out += pad + label + ":";
                for (std::size_t i = 0; i < c->children.size(); ++i)
                    out += (i ? " | " : " ") + c->children[i]->text;
                out += "\n";
            } else {
                out += pad + label + ":\n";
                RenderText(*c, out, indent + 1);
            }
        } else {
            out += pad + label + ": " + c->text + "\n";
        }
    }
}

std::string JsonWriter::Text() const {
    std::string out;
    if (!m_root) return out;
    if (m_bJson) {
        RenderJson(*m_root, out, 0);
        out += "\n";
    } else {
        RenderText(*m_root, out, 0);
    }
    return out;
}

}  // namespace orvex::cli
