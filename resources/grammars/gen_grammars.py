#!/usr/bin/python3
"""Builds the XML grammar of each script language from its rule notation.

    gen_grammars.py            rewrite every NAME.xml beside its NAME.txt
    gen_grammars.py --check    exit 1 when a committed NAME.xml differs

Notation file (NAME.txt):
    language "Display name"
    setting KEY "VALUE"        value = text between the first and last quote
    keywords w1 w2 ...
    error errN "Message"
    type alias "type name"
    rules                      then one rule per line:
    `name` {node n}: body

Body elements: "x" char, "x"! char without leading blanks, CAPS keyword with
text, word keyword without text, ident/number/string/frstring/eol leaves,
seq/sw/optsw/loop/optloop/opt( ... ) combinators (alternatives of a switch
separated by |, loops optionally [","] or [";" skip]), any other name a rule
reference, attributes in braces after an element, (nothing) for an empty body.
"""
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
LANGUAGES = ["PascalScript", "CppScript", "BasicScript", "JScript"]

COMBINATORS = {"seq": "sequence", "sw": "switch", "optsw": "optionalswitch",
               "loop": "loop", "optloop": "optionalloop", "opt": "optional"}
LEAVES = {"ident", "number", "string", "frstring", "eol"}


class NotationError(Exception):
    pass


def escape(text):
    # The engine's attribute escape: decimal references for the characters
    # that would break an attribute or a tag, the ampersand included.
    out = []
    for ch in text:
        if ch in '\n\r"<>&':
            out.append("&#%d;" % ord(ch))
        else:
            out.append(ch)
    return "".join(out)


class Element:
    def __init__(self, name):
        self.name = name
        self.attrs = []      # ordered (name, value)
        self.children = []

    def set(self, name, value):
        for i, (n, _) in enumerate(self.attrs):
            if n == name:
                self.attrs[i] = (name, value)
                return
        self.attrs.append((name, value))


def tokenize(body):
    tokens = []
    i = 0
    n = len(body)
    while i < n:
        c = body[i]
        if c.isspace():
            i += 1
        elif c == '"':
            j = body.index('"', i + 1)
            tok = ("char", body[i + 1:j])
            i = j + 1
            if i < n and body[i] == "!":
                tok = ("char!", tok[1])
                i += 1
            tokens.append(tok)
        elif c == "{":
            j = body.index("}", i)
            tokens.append(("attrs", body[i + 1:j]))
            i = j + 1
        elif c == "[":
            j = body.index("]", i)
            tokens.append(("loopargs", body[i + 1:j]))
            i = j + 1
        elif c in "()|":
            tokens.append((c, c))
            i += 1
        elif c.isalpha() or c == "_":
            j = i
            while j < n and (body[j].isalnum() or body[j] == "_"):
                j += 1
            tokens.append(("word", body[i:j]))
            i = j
        else:
            raise NotationError("unexpected character %r in %r" % (c, body))
    return tokens


def parse_attrs(element, text):
    for item in [s.strip() for s in text.split(",") if s.strip()]:
        m = re.fullmatch(r'add (\w+)(?: "(.*)")?', item)
        if m:
            element.set("add", m.group(1))
            if m.group(2) is not None:
                element.set("addtext", m.group(2))
            continue
        m = re.fullmatch(r"node (\w+)", item)
        if m:
            element.set("node", m.group(1))
            continue
        if re.fullmatch(r"err\d+", item):
            element.set("err", item)
            continue
        if item == "term":
            element.set("term", "1")
            continue
        m = re.fullmatch(r"(\w+) (\S+)", item)
        if m:
            element.set(m.group(1), m.group(2))
            continue
        raise NotationError("unknown attribute %r" % item)


class BodyParser:
    def __init__(self, tokens):
        self.tokens = tokens
        self.i = 0

    def peek(self):
        return self.tokens[self.i] if self.i < len(self.tokens) else (None, None)

    def take(self, kind=None):
        tok = self.peek()
        if tok[0] is None or (kind and tok[0] != kind):
            raise NotationError("expected %s at token %d" % (kind, self.i))
        self.i += 1
        return tok

    def attrs_after(self, element):
        if self.peek()[0] == "attrs":
            parse_attrs(element, self.take()[1])

    def element(self):
        kind, value = self.take()
        if kind in ("char", "char!"):
            e = Element("char")
            e.set("text", value)
            if kind == "char!":
                e.set("skip", "0")
        elif kind == "word" and value in COMBINATORS and self.peek()[0] in ("(", "loopargs", "attrs"):
            e = Element(COMBINATORS[value])
            if self.peek()[0] == "loopargs":
                args = self.take()[1].strip()
                m = re.fullmatch(r'"(.)"( skip)?', args)
                if not m:
                    raise NotationError("bad loop arguments %r" % args)
                e.set("text", m.group(1))
                if m.group(2):
                    e.set("skip", "1")
            self.attrs_after(e)
            self.take("(")
            if e.name in ("switch", "optionalswitch"):
                while True:
                    alt = self.sequence(stop=("|", ")"))
                    if len(alt) != 1:
                        raise NotationError("a switch alternative must be one element")
                    e.children.extend(alt)
                    if self.take()[0] == ")":
                        break
            else:
                e.children = self.sequence(stop=(")",))
                self.take(")")
            return e
        elif kind == "word" and value.isupper():
            e = Element("keyword")
            e.set("text", value)
        elif kind == "word" and value == "word":
            e = Element("keyword")
        elif kind == "word" and value in LEAVES:
            e = Element(value)
        elif kind == "word":
            e = Element(value)
        else:
            raise NotationError("unexpected token %r" % (value,))
        self.attrs_after(e)
        return e

    def sequence(self, stop):
        items = []
        while self.peek()[0] not in stop and self.peek()[0] is not None:
            items.append(self.element())
        return items


def parse_rule(line):
    m = re.fullmatch(r"`(\w+)`(?: \{node (\w+)\})?: (.*)", line)
    if not m:
        raise NotationError("bad rule line %r" % line)
    rule = Element(m.group(1))
    if m.group(2):
        rule.set("node", m.group(2))
    body = m.group(3).strip()
    if body != "(nothing)":
        parser = BodyParser(tokenize(body))
        rule.children = parser.sequence(stop=())
        if parser.i != len(parser.tokens):
            raise NotationError("trailing tokens in %r" % line)
    return rule


def quoted(text):
    text = text.strip()
    if len(text) < 2 or text[0] != '"' or text[-1] != '"':
        raise NotationError("expected a quoted value: %r" % text)
    return text[1:-1]


def build(notation):
    root = Element("language")
    parser = Element("parser")
    keywords = Element("keywords")
    errors = Element("errors")
    types = Element("types")
    rules = []
    in_rules = False
    for raw in notation.splitlines():
        line = raw.strip()
        if not line or line.startswith("#"):
            continue
        if in_rules:
            rules.append(parse_rule(line))
            continue
        word, _, rest = line.partition(" ")
        if word == "language":
            root.set("text", quoted(rest))
        elif word == "setting":
            key, _, value = rest.partition(" ")
            e = Element(key)
            e.set("text", quoted(value))
            parser.children.append(e)
        elif word == "keywords":
            keywords.children.extend(Element(k) for k in rest.split())
        elif word == "error":
            key, _, value = rest.partition(" ")
            e = Element(key)
            e.set("text", quoted(value))
            errors.children.append(e)
        elif word == "type":
            key, _, value = rest.partition(" ")
            e = Element(key)
            e.set("type", quoted(value))
            types.children.append(e)
        elif word == "rules":
            in_rules = True
        else:
            raise NotationError("unknown line %r" % line)
    parser.children += [keywords, errors]
    root.children = [parser, types] + rules
    return root


def write(element, level, out):
    attrs = "".join(' %s="%s"' % (n, escape(v)) for n, v in element.attrs)
    indent = "  " * level
    if element.children:
        out.append("%s<%s%s>" % (indent, element.name, attrs))
        for child in element.children:
            write(child, level + 1, out)
        out.append("%s</%s>" % (indent, element.name))
    else:
        out.append("%s<%s%s/>" % (indent, element.name, attrs))


def generate(name):
    with open(os.path.join(HERE, name + ".txt"), encoding="utf-8") as f:
        root = build(f.read())
    out = ['<?xml version="1.0"?>']
    write(root, 0, out)
    return "\n".join(out) + "\n"


def main(argv):
    check = "--check" in argv
    stale = []
    for name in LANGUAGES:
        text = generate(name)
        target = os.path.join(HERE, name + ".xml")
        if check:
            try:
                with open(target, encoding="utf-8") as f:
                    if f.read() != text:
                        stale.append(target)
            except FileNotFoundError:
                stale.append(target)
        else:
            with open(target, "w", encoding="utf-8", newline="\n") as f:
                f.write(text)
    if stale:
        print("out of date: " + ", ".join(stale), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
