# sources of win32/shell
