#!/usr/bin/env python3
"""Parses each file given as an HTML fragment, strictly: a parse error fails.

For every element it prints a line: the tag, then the attributes as the
parser read them (tab before each). URLs in src and srcset are resolved
against a page and percent-decoded, so they read as the names of the files
they lead to in the page's folder. Exits with 77 where html5lib is missing.
"""
import sys
from urllib.parse import unquote, urljoin

try:
    import html5lib
except ImportError:
    print("html5lib is missing: install python3-html5lib", file=sys.stderr)
    sys.exit(77)

PAGE = "https://example.org/folder/page.html"
FOLDER = urljoin(PAGE, ".")


def file_name(url):
    resolved = urljoin(PAGE, url)
    if not resolved.startswith(FOLDER):
        return "outside the page's folder: " + resolved
    return unquote(resolved[len(FOLDER):])


def value(name, text):
    if name == "src":
        return file_name(text)
    if name == "srcset":
        candidates = [c.strip().split(" ") for c in text.split(",")]
        return ", ".join(" ".join([file_name(c[0])] + c[1:]) for c in candidates)
    return text


for path in sys.argv[1:]:
    with open(path, encoding="utf-8") as file:
        parser = html5lib.HTMLParser(strict=True, namespaceHTMLElements=False)
        try:
            fragment = parser.parseFragment(file.read())
        except html5lib.html5parser.ParseError as error:
            line, column = parser.errors[-1][0]
            sys.exit(f"{path}:{line}:{column}: {error}")
    for element in fragment.iter():
        if isinstance(element.tag, str) and element.tag != "DOCUMENT_FRAGMENT":
            attributes = "".join(f"\t{n}={value(n, v)}" for n, v in element.attrib.items())
            sys.stdout.buffer.write(f"{element.tag}{attributes}\n".encode())
