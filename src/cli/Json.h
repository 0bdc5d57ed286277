// Builds a tree of fields and prints it as JSON or as indented "key: value" text.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orvex::cli {

class JsonWriter {
  public:
    explicit JsonWriter(bool json) : m_bJson(json) {}

    void BeginObject() { Open(Node::Object); }
    void EndObject() { Close(); }
    void BeginArray() { Open(Node::Array); }
    void EndArray() { Close(); }
    void Key(const std::string& key) { m_pendingKey = key; }
    void Value(const std::string& v) { Add(Scalar(v, true)); }
    void Value(int64_t v) { Add(Scalar(std::to_string(v), false)); }
    template <class T>
    void Field(const std::string& key, const T& v) {
        Key(key);
        if constexpr (std::is_integral_v<T>)
            Value(static_cast<int64_t>(v));
        else
            Value(std::string(v));
    }
    std::string Text() const;

  private:
    struct Node {
        enum Kind { Object, Array, String, Number } kind;
        std::string key;
        std::string text;
        std::vector<std::unique_ptr<Node>> children;
    };
    std::unique_ptr<Node> Scalar(const std::string& v, bool isString) {
        auto n = std::make_unique<Node>();
        n->kind = isString ? Node::String : Node::Number;
        n->text = v;
        return n;
    }
    void Add(std::unique_ptr<Node> n);
    void Open(Node::Kind kind);
    void Close() {
        if (!m_stack.empty()) m_stack.pop_back();
    }
    static void RenderJson(const Node& n, std::string& out, int indent);
    static void RenderText(const Node& n, std::string& out, int indent);

    bool m_bJson;
    std::unique_ptr<Node> m_root;
    std::vector<Node*> m_stack;
    std::string m_pendingKey;
};

}  // namespace orvex::cli
