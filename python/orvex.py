"""ORVEX from Python: the library's classes created by programmatic identifier and called
late-bound, by member name, through its C interface (orvex/orvex_c.h).

    import orvex
    table = orvex.Object("ORVEX.CTextTable2")
    table.put("ConnectingString", "glossary.xml")
    table.call("LoadStringsRS", "Glossary", "Arabic")
    print(table.get("Text", 7))

Every variant, string and object the C interface hands out is released here before the call
returns (objects when their Python wrapper goes away); a failed call raises OrvexError with the
library's number, description and source.

The library is found by ORVEX_LIBRARY (a path), then the system's library search (liborvex.so.N),
unless load(path) is called first.
"""
import ctypes
import ctypes.util
import os

__all__ = ["OrvexError", "ErrorRecord", "Object", "NULL", "MISSING", "load", "version",
           "METHOD", "PROPERTY_GET", "PROPERTY_PUT", "PROPERTY_PUTREF"]

METHOD, PROPERTY_GET, PROPERTY_PUT, PROPERTY_PUTREF = 1, 2, 4, 8

# Variant subtypes (VarType) the conversions below tell apart.
_VB_EMPTY, _VB_NULL, _VB_INTEGER, _VB_LONG = 0, 1, 2, 3
_VB_SINGLE, _VB_DOUBLE, _VB_CURRENCY = 4, 5, 6
_VB_OBJECT, _VB_ERROR, _VB_BOOLEAN, _VB_DECIMAL, _VB_BYTE, _VB_RECORD = 9, 10, 11, 14, 17, 36


class OrvexError(Exception):
    """A failure the library reported: its automation error number, description and source."""

    def __init__(self, number, description, source):
        self.number = number
        self.description = description
        self.source = source
        super().__init__("error %d (0x%08X) in %s: %s"
                         % (number, number & 0xFFFFFFFF, source, description))


class ErrorRecord:
    """An error record (TErrorObject) passed to or returned from a member."""

    def __init__(self, number, description="", source=""):
        self.number = number
        self.description = description
        self.source = source

    def __repr__(self):
        return "ErrorRecord(%d, %r, %r)" % (self.number, self.description, self.source)


class _Marker:
    def __init__(self, name):
        self.name = name

    def __repr__(self):
        return self.name


NULL = _Marker("orvex.NULL")  # the Null value (None passes Empty)
MISSING = _Marker("orvex.MISSING")  # an omitted optional argument

_lib = None


def _declare(lib):
    vp, i32, p = ctypes.c_void_p, ctypes.c_int32, ctypes.POINTER
    signatures = {
        "orvex_create_object": (i32, [ctypes.c_char_p, p(vp)]),
        "orvex_get_id_of_name": (i32, [vp, ctypes.c_char_p, p(i32)]),
        "orvex_invoke": (i32, [vp, i32, i32, p(vp), i32, p(vp)]),
        "orvex_release": (None, [vp]),
        "orvex_variant_empty": (vp, []),
        "orvex_variant_null": (vp, []),
        "orvex_variant_missing": (vp, []),
        "orvex_variant_string": (vp, [ctypes.c_char_p]),
        "orvex_variant_long": (vp, [i32]),
        "orvex_variant_double": (vp, [ctypes.c_double]),
        "orvex_variant_bool": (vp, [i32]),
        "orvex_variant_object": (vp, [vp]),
        "orvex_variant_error_record": (vp, [i32, ctypes.c_char_p, ctypes.c_char_p,
                                            ctypes.c_char_p, i32]),
        "orvex_variant_free": (None, [vp]),
        "orvex_variant_type": (ctypes.c_uint16, [vp]),
        "orvex_variant_to_string": (i32, [vp, p(vp)]),
        "orvex_variant_to_long": (i32, [vp, p(i32)]),
        "orvex_variant_to_double": (i32, [vp, p(ctypes.c_double)]),
        "orvex_variant_error_fields": (i32, [vp, p(i32), p(vp), p(vp)]),
        "orvex_variant_to_object": (i32, [vp, p(vp)]),
        "orvex_string_free": (None, [vp]),
        "orvex_last_error_number": (i32, []),
        "orvex_last_error_source": (ctypes.c_char_p, []),
        "orvex_last_error_description": (ctypes.c_char_p, []),
        "orvex_version": (ctypes.c_char_p, []),
    }
    for name, (restype, argtypes) in signatures.items():
        function = getattr(lib, name)
        function.restype = restype
        function.argtypes = argtypes
    return lib


def load(path=None):
    """Loads the library (once): path, else ORVEX_LIBRARY, else the system's search."""
    global _lib
    if _lib is None or path is not None:
        path = path or os.environ.get("ORVEX_LIBRARY") or ctypes.util.find_library("orvex")
        if not path:
            raise OSError("liborvex not found: set ORVEX_LIBRARY to its path, or call "
                          "orvex.load(path)")
        _lib = _declare(ctypes.CDLL(path))
    return _lib


def version():
    """The version of the loaded library, "MAJOR.MINOR.PATCH"."""
    return load().orvex_version().decode()


def _check(status):
    if status != 0:
        lib = load()
        raise OrvexError(lib.orvex_last_error_number() or status,
                         lib.orvex_last_error_description().decode("utf-8", "replace"),
                         lib.orvex_last_error_source().decode("utf-8", "replace"))


def _take_string(lib, pointer):
    """The UTF-8 text a C call handed out, which is then freed."""
    try:
        return ctypes.string_at(pointer).decode("utf-8") if pointer else ""
    finally:
        lib.orvex_string_free(pointer)


def _new_variant(lib, value):
    """A new variant holding value; the caller frees it."""
    if value is None:
        handle = lib.orvex_variant_empty()
    elif value is NULL:
        handle = lib.orvex_variant_null()
    elif value is MISSING:
        handle = lib.orvex_variant_missing()
    elif isinstance(value, bool):
        handle = lib.orvex_variant_bool(1 if value else 0)
    elif isinstance(value, int) and -2**31 <= value < 2**31:
        handle = lib.orvex_variant_long(value)
    elif isinstance(value, (int, float)):
        handle = lib.orvex_variant_double(float(value))
    elif isinstance(value, str):
        handle = lib.orvex_variant_string(value.encode("utf-8"))
    elif isinstance(value, Object):
        handle = lib.orvex_variant_object(value._handle)
    elif isinstance(value, ErrorRecord):
        handle = lib.orvex_variant_error_record(value.number, value.description.encode("utf-8"),
                                                value.source.encode("utf-8"), b"", 0)
    else:
        raise TypeError("orvex cannot pass a %s" % type(value).__name__)
    if not handle:
        raise MemoryError("orvex: no memory for a variant")
    return handle


def _python_value(lib, handle):
    """The variant's value as Python sees it (the variant is not freed here)."""
    kind = lib.orvex_variant_type(handle)
    if kind in (_VB_EMPTY, _VB_NULL):
        return None if kind == _VB_EMPTY else NULL
    if kind in (_VB_INTEGER, _VB_LONG, _VB_BYTE, _VB_ERROR):
        number = ctypes.c_int32()
        _check(lib.orvex_variant_to_long(handle, ctypes.byref(number)))
        return number.value
    if kind == _VB_BOOLEAN:
        number = ctypes.c_int32()
        _check(lib.orvex_variant_to_long(handle, ctypes.byref(number)))
        return number.value != 0
    if kind in (_VB_SINGLE, _VB_DOUBLE, _VB_CURRENCY, _VB_DECIMAL):
        number = ctypes.c_double()
        _check(lib.orvex_variant_to_double(handle, ctypes.byref(number)))
        return number.value
    if kind == _VB_OBJECT:
        obj = ctypes.c_void_p()
        _check(lib.orvex_variant_to_object(handle, ctypes.byref(obj)))
        return Object._adopt(obj.value) if obj.value else None
    if kind == _VB_RECORD:
        number, description, source = ctypes.c_int32(), ctypes.c_void_p(), ctypes.c_void_p()
        _check(lib.orvex_variant_error_fields(handle, ctypes.byref(number),
                                              ctypes.byref(description), ctypes.byref(source)))
        return ErrorRecord(number.value, _take_string(lib, description.value),
                           _take_string(lib, source.value))
    text = ctypes.c_void_p()
    _check(lib.orvex_variant_to_string(handle, ctypes.byref(text)))
    return _take_string(lib, text.value)


class Object:
    """An object of the library, made by programmatic identifier ("ORVEX.CLogError") and called
    by member name. Released when the wrapper goes away, or at once with release()."""

    def __init__(self, prog_id):
        lib = load()
        handle = ctypes.c_void_p()
        _check(lib.orvex_create_object(prog_id.encode("utf-8"), ctypes.byref(handle)))
        self._handle = handle.value
        self._ids = {}

    @classmethod
    def _adopt(cls, handle):
        obj = cls.__new__(cls)
        obj._handle = handle
        obj._ids = {}
        return obj

    def release(self):
        if getattr(self, "_handle", None):
            load().orvex_release(self._handle)
            self._handle = None

    def __del__(self):
        if _lib is not None:
            self.release()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.release()

    def _member_id(self, name):
        member = self._ids.get(name)
        if member is None:
            if not self._handle:
                raise ValueError("orvex: the object has been released")
            disp_id = ctypes.c_int32()
            _check(load().orvex_get_id_of_name(self._handle, name.encode("utf-8"),
                                               ctypes.byref(disp_id)))
            member = self._ids[name] = disp_id.value
        return member

    def invoke(self, name, kind, *args, by_ref=False):
        """Invokes the member with the arguments in declaration order. Returns the result, or
        with by_ref=True (result, [every argument's value after the call])."""
        lib = load()
        member = self._member_id(name)
        handles = (ctypes.c_void_p * max(len(args), 1))()
        result = ctypes.c_void_p()
        try:
            for i, value in enumerate(args):
                handles[i] = _new_variant(lib, value)
            _check(lib.orvex_invoke(self._handle, member, kind, handles, len(args),
                                    ctypes.byref(result)))
            value = _python_value(lib, result.value) if result.value else None
            if not by_ref:
                return value
            return value, [_python_value(lib, handles[i]) for i in range(len(args))]
        finally:
            # By-reference arguments may have been replaced by the call: free what is there now.
            for i in range(len(args)):
                if handles[i]:
                    lib.orvex_variant_free(handles[i])
            if result.value:
                lib.orvex_variant_free(result.value)

    def call(self, name, *args, by_ref=False):
        """A method call."""
        return self.invoke(name, METHOD, *args, by_ref=by_ref)

    def get(self, name, *args):
        """A property read."""
        return self.invoke(name, PROPERTY_GET, *args)

    def put(self, name, value, *args):
        """A property write; indices follow the value: put("Text", "Yes", 7) sets Text(7)."""
        self.invoke(name, PROPERTY_PUT, *args, value)

    def put_ref(self, name, obj):
        """An object property write."""
        self.invoke(name, PROPERTY_PUTREF, obj)
