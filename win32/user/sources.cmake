# sources of win32/user
