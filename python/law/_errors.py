"""The package's error: every failure of the law library, raised in Python."""


class LawError(ValueError):
    """A failure of the law library.

    ``code`` is the name of the library's error code ("LAW_ZERODIVIDE", "LAW_SQRT", ...; the
    codes of the "lawutil" module) and ``message`` its message ("Divide by zero"). Text the
    parser cannot read raises with code "LAW_SYNTAX" and the parser's message. A LawError is a
    ValueError, as the errors of Python's own math functions are.
    """

    def __init__(self, message: str, code: str = "LAW_EVAL") -> None:
        super().__init__(message)
        self.message = message
        self.code = code

    def __reduce__(self):
        # Pickled with its code, so that it crosses process pools whole.
        return (type(self), (self.message, self.code))

    def __repr__(self) -> str:
        return f"LawError({self.message!r}, {self.code!r})"
