"""Reads what the tests need from a Windows exe without running it: its machine and its resources."""

import struct

I386, AMD64 = 0x14C, 0x8664
LARGE_ADDRESS_AWARE = 0x0020
WINDOWS_GUI, WINDOWS_CUI = 2, 3
RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24


def _headers(data):
    """Offset of the optional header, its size, and the machine, after checking the signatures."""
    if data[:2] != b"MZ":
        raise ValueError("no MZ header")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("no PE signature")
    machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
    return pe + 24, optional_size, sections, machine


def machine(path):
    """The COFF machine field: I386 for a 32-bit exe, AMD64 for a 64-bit one."""
    with open(path, "rb") as f:
        head = f.read(4096)
    return _headers(head)[3]


def characteristics(path):
    """The COFF header's Characteristics: LARGE_ADDRESS_AWARE among them."""
    with open(path, "rb") as f:
        head = f.read(4096)
    pe = struct.unpack_from("<I", head, 0x3C)[0]
    _headers(head)
    return struct.unpack_from("<H", head, pe + 22)[0]


def subsystem(path):
    """The optional header's Subsystem: WINDOWS_GUI for a window program, WINDOWS_CUI for a console one."""
    with open(path, "rb") as f:
        head = f.read(4096)
    return struct.unpack_from("<H", head, _headers(head)[0] + 68)[0]


def is_32bit(path):
    return machine(path) == I386


def resources(path):
    """Every resource as {(type, name, language): bytes}; types and names are ints, or strings when named."""
    with open(path, "rb") as f:
        data = f.read()
    optional, optional_size, count, _ = _headers(data)
    magic = struct.unpack_from("<H", data, optional)[0]
    directories = optional + (96 if magic == 0x10B else 112)
    rsrc_rva, rsrc_size = struct.unpack_from("<II", data, directories + 2 * 8)
    if not rsrc_rva:
        return {}
    sections = []
    for i in range(count):
        _, vsize, vaddr, raw_size, raw_ptr = struct.unpack_from("<8sIIII", data, optional + optional_size + 40 * i)
        sections.append((vaddr, max(vsize, raw_size), raw_ptr))

    def offset(rva):
        for vaddr, size, raw_ptr in sections:
            if vaddr <= rva < vaddr + size:
                return rva - vaddr + raw_ptr
        raise ValueError(f"RVA {rva:#x} is in no section")

    base = offset(rsrc_rva)

    def label(value):
        if not value & 0x80000000:
            return value
        at = base + (value & 0x7FFFFFFF)
        length = struct.unpack_from("<H", data, at)[0]
        return data[at + 2:at + 2 + 2 * length].decode("utf-16-le")

    found = {}

    def walk(at, path):
        named, numbered = struct.unpack_from("<HH", data, base + at + 12)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", data, base + at + 16 + 8 * i)
            key = path + (label(name),)
            if target & 0x80000000:
                walk(target & 0x7FFFFFFF, key)
            else:
                rva, size = struct.unpack_from("<II", data, base + target)
                found[key] = data[offset(rva):offset(rva) + size]

    walk(0, ())
    return found


def version_tree(data, at=0):
    """One node of a version record and its children: (key, value, [children]); a text value is a str."""
    length, value_length, is_text = struct.unpack_from("<HHH", data, at)
    end = at + length
    key_end = at + 6
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = data[at + 6:key_end].decode("utf-16-le")
    pos = (key_end + 2 + 3) & ~3
    raw = data[pos:pos + (2 * value_length if is_text else value_length)]
    value = raw.decode("utf-16-le").rstrip("\0") if is_text else raw
    pos = (pos + len(raw) + 3) & ~3
    children = []
    while pos < end:
        child_length = struct.unpack_from("<H", data, pos)[0]
        if not child_length:
            break
        children.append(version_tree(data, pos))
        pos = (pos + child_length + 3) & ~3
    return key, value, children
