# Each Mac Roman byte from 0x80 to 0xFF and its Unicode code point, by
# Python's own mac_roman codec; read by the document text tests.
with open("mac_roman_reference.txt", "w") as out:
    for byte in range(0x80, 0x100):
        out.write("%02x %04x\n" % (byte, ord(bytes([byte]).decode("mac_roman"))))
