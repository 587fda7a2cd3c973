#!/usr/bin/python3
"""The demo's mail catcher: an SMTP server on a free port of 127.0.0.1 that writes each
message it receives, as received, to FOLDER as a .eml file any mail reader opens.

    correo-demo.py FOLDER

Prints the port on the first line of its output once it listens. Ends on SIGTERM or SIGINT,
and by itself when the process that started it ends.
"""
import asyncio
import os
import signal
import sys
import time

from aiosmtpd.smtp import SMTP


class Buzon:
    def __init__(self, carpeta):
        self.carpeta = carpeta
        self.cuenta = 0

    async def handle_DATA(self, server, session, envelope):
        self.cuenta += 1
        nombre = time.strftime("%Y%m%d-%H%M%S") + "-%d.eml" % self.cuenta
        ruta = os.path.join(self.carpeta, nombre)
        # Written under a temporary name first: a reader never opens half a message.
        with open(ruta + ".part", "wb") as f:
            f.write(envelope.original_content)
        os.replace(ruta + ".part", ruta)
        print("Recibido: " + ruta, flush=True)
        return "250 Message accepted for delivery"


async def principal(carpeta):
    os.makedirs(carpeta, exist_ok=True)
    buzon = Buzon(carpeta)
    bucle = asyncio.get_running_loop()
    servidor = await bucle.create_server(
        lambda: SMTP(buzon, hostname="correo-demo"), "127.0.0.1", 0)
    print(servidor.sockets[0].getsockname()[1], flush=True)
    fin = bucle.create_future()
    for s in (signal.SIGTERM, signal.SIGINT):
        bucle.add_signal_handler(s, lambda: fin.done() or fin.set_result(None))
    padre = os.getppid()
    while not fin.done():
        if os.getppid() != padre:
            break
        await asyncio.wait([fin], timeout=1)
    servidor.close()
    await servidor.wait_closed()


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("Uso: correo-demo.py CARPETA")
    asyncio.run(principal(sys.argv[1]))
