#!/usr/bin/env python3
"""Drives ORVEX from Python through its C interface (ctypes): logs an error to a text log and
reads a text from a glossary.

    python3 examples/python/orvex_ctypes.py path/to/liborvex.so [WORK_FOLDER]
"""
import ctypes
import os
import sys
import tempfile

METHOD, PROPERTY_GET, PROPERTY_PUT = 1, 2, 4
LT_FILE = 4


class Orvex:
    def __init__(self, library_path):
        lib = ctypes.CDLL(library_path)
        self.lib = lib
        vp = ctypes.c_void_p
        lib.orvex_create_object.argtypes = [ctypes.c_char_p, ctypes.POINTER(vp)]
        lib.orvex_invoke_name.argtypes = [vp, ctypes.c_char_p, ctypes.c_int32, ctypes.POINTER(vp),
                                          ctypes.c_int32, ctypes.POINTER(vp)]
        lib.orvex_release.argtypes = [vp]
        for name in ("orvex_variant_string",):
            getattr(lib, name).argtypes = [ctypes.c_char_p]
            getattr(lib, name).restype = vp
        lib.orvex_variant_long.argtypes = [ctypes.c_int32]
        lib.orvex_variant_long.restype = vp
        lib.orvex_variant_error_record.argtypes = [ctypes.c_int32, ctypes.c_char_p,
                                                   ctypes.c_char_p, ctypes.c_char_p,
                                                   ctypes.c_int32]
        lib.orvex_variant_error_record.restype = vp
        lib.orvex_variant_free.argtypes = [vp]
        lib.orvex_variant_to_string.argtypes = [vp, ctypes.POINTER(ctypes.c_char_p)]
        lib.orvex_variant_to_long.argtypes = [vp, ctypes.POINTER(ctypes.c_int32)]
        lib.orvex_variant_error_fields.argtypes = [vp, ctypes.POINTER(ctypes.c_int32),
                                                   ctypes.POINTER(ctypes.c_char_p),
                                                   ctypes.POINTER(ctypes.c_char_p)]
        lib.orvex_last_error_description.restype = ctypes.c_char_p
        lib.orvex_last_error_source.restype = ctypes.c_char_p

    def check(self, status):
        if status != 0:
            raise RuntimeError("error %d in %s: %s" % (
                status, self.lib.orvex_last_error_source().decode(),
                self.lib.orvex_last_error_description().decode()))

    def create(self, prog_id):
        obj = ctypes.c_void_p()
        self.check(self.lib.orvex_create_object(prog_id.encode(), ctypes.byref(obj)))
        return obj

    def value(self, python_value):
        if isinstance(python_value, int):
            return self.lib.orvex_variant_long(python_value)
        return self.lib.orvex_variant_string(str(python_value).encode())

    def invoke(self, obj, name, kind, *args):
        """Invokes a member; returns (result variant, argument variants after the call)."""
        values = [a if isinstance(a, VariantRef) else VariantRef(self.value(a)) for a in args]
        array = (ctypes.c_void_p * max(len(values), 1))(*[v.handle for v in values])
        result = ctypes.c_void_p()
        self.check(self.lib.orvex_invoke_name(obj, name.encode(), kind, array, len(values),
                                              ctypes.byref(result)))
        return result, [ctypes.c_void_p(array[i]) for i in range(len(values))]

    def text(self, variant):
        out = ctypes.c_char_p()
        self.check(self.lib.orvex_variant_to_string(variant, ctypes.byref(out)))
        return out.value.decode()


class VariantRef:
    def __init__(self, handle):
        self.handle = handle


def main():
    orvex = Orvex(sys.argv[1])
    folder = sys.argv[2] if len(sys.argv) > 2 else tempfile.mkdtemp(prefix="orvex-python-")

    logger = orvex.create("ORVEX.CLogError")
    log_path = os.path.join(folder, "python-errors.log")
    orvex.invoke(logger, "pLogFile", PROPERTY_PUT, log_path)
    record = VariantRef(orvex.lib.orvex_variant_error_record(
        53, b"File not found", b"PythonClient", b"", 0))
    result, _ = orvex.invoke(logger, "LogError", METHOD, "Python", "main", record, LT_FILE)
    print("LogError result word:", orvex.text(result))
    print("log file:", log_path)

    glossary = os.path.join(folder, "glossary.xml")
    with open(glossary, "w", encoding="utf-8") as out:
        out.write("<Glossaries><Glossary ID='7' English='Yes' Arabic='نعم'/></Glossaries>")
    table = orvex.create("ORVEX.CTextTable2")
    orvex.invoke(table, "ConnectingString", PROPERTY_PUT, glossary)
    orvex.invoke(table, "LoadStringsRS", METHOD, "Glossary", "Arabic")
    text, _ = orvex.invoke(table, "Text", PROPERTY_GET, 7)
    print("Text(7) in Arabic:", orvex.text(text))
    return 0


if __name__ == "__main__":
    sys.exit(main())
