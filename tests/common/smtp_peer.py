#!/usr/bin/env python3
"""SMTP peer for the mail tests: aiosmtpd on 127.0.0.1, on a free port.

    smtp_peer.py OUTDIR MODE [CERT KEY]

Prints the port on its first line of output, then serves until it is terminated.
Writes into OUTDIR:
  commands.txt   every command line as received, in order (AUTH LOGIN's answers included),
                 one per line without its CRLF;
  message.eml    the message of an accepted DATA, as received (dot-stuffing undone);
  envelope.json  MAIL FROM address and options, RCPT TO addresses;
  message.json   the message as Python's email parser reads it, and part-N.bin, the decoded
                 bytes of its N-th part.

Modes:
  normal            accepts everything; offers no AUTH
  auth              offers AUTH LOGIN PLAIN; accepts user "instalador", password "clave ñ1"
  auth-plain-only   offers AUTH PLAIN only
  refuse-auth       offers AUTH LOGIN PLAIN; refuses every login (535)
  refuse-rcpt       refuses the recipient (550)
  helo-only         refuses EHLO (500); HELO works
  drop-during-data  closes the connection after a few lines of the message
  silent-after-data takes the message and never answers it
  silent            accepts the connection and never says a word
  greeting-554      greets with 554 and refuses everything but QUIT
  tls               normal, plus STARTTLS with CERT and KEY; AUTH LOGIN offered after TLS
  no-size           normal, but announces no SIZE (no limit of its own)
  size-1mb          normal, announcing SIZE 1048576
  silent-after-quit normal, but never answers QUIT
"""

import asyncio
import email
import email.policy
import json
import os
import ssl
import sys

from aiosmtpd.smtp import SMTP, AuthResult

OUT = sys.argv[1]
MODE = sys.argv[2]
USER, PASSWORD = b"instalador", "clave ñ1".encode()


def record(line: bytes):
    with open(os.path.join(OUT, "commands.txt"), "ab") as f:
        f.write(line.rstrip(b"\r\n") + b"\n")


def write(name: str, data: bytes):
    tmp = os.path.join(OUT, name + ".tmp")
    with open(tmp, "wb") as f:
        f.write(data)
    os.replace(tmp, os.path.join(OUT, name))


class RecordingReader:
    """Stands in for the protocol's stream reader and writes down each command line."""

    def __init__(self, inner, protocol):
        object.__setattr__(self, "_inner", inner)
        object.__setattr__(self, "_protocol", protocol)
        object.__setattr__(self, "_data_lines", 0)

    def __getattr__(self, name):
        return getattr(self._inner, name)

    def __setattr__(self, name, value):
        setattr(self._inner, name, value)

    async def readuntil(self, separator=None):
        if separator is None:  # a command line
            line = await self._inner.readuntil()
            record(line)
            return line
        line = await self._inner.readuntil(separator)  # a line of the message
        object.__setattr__(self, "_data_lines", self._data_lines + 1)
        if MODE == "drop-during-data" and self._data_lines == 5:
            self._protocol.transport.abort()
        return line

    async def readline(self):  # the answers to AUTH's challenges
        line = await self._inner.readline()
        record(line)
        return line


class RecordingSMTP(SMTP):
    def _client_connected_cb(self, reader, writer):
        super()._client_connected_cb(RecordingReader(reader, self), writer)


class Handler:
    async def handle_QUIT(self, server, session, envelope):
        if MODE == "silent-after-quit":
            await asyncio.sleep(3600)
        return "221 Bye"

    async def handle_EHLO(self, server, session, envelope, hostname, responses):
        if MODE == "helo-only":
            return ["500 5.5.1 Orden desconocida"]
        session.host_name = hostname
        return responses

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if MODE == "refuse-rcpt":
            return "550 5.1.1 Destinatario desconocido"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        if MODE == "silent-after-data":
            await asyncio.sleep(3600)
        raw = envelope.original_content
        write("envelope.json", json.dumps({
            "mail_from": envelope.mail_from,
            "mail_options": envelope.mail_options,
            "rcpt_tos": envelope.rcpt_tos,
        }).encode())
        msg = email.message_from_bytes(raw, policy=email.policy.default)
        parts = []
        for n, part in enumerate(msg.iter_parts()):
            payload = part.get_payload(decode=True)
            write(f"part-{n}.bin", payload)
            entry = {
                "content_type": part.get_content_type(),
                "charset": part.get_content_charset(),
                "transfer_encoding": part.get("Content-Transfer-Encoding", ""),
                "disposition": part.get_content_disposition(),
                "filename": part.get_filename(),
                "file": f"part-{n}.bin",
            }
            if part.get_content_type() == "text/plain" and part.get_filename() is None:
                entry["text"] = part.get_content()
            parts.append(entry)

        def mailbox(header):
            if msg[header] is None:
                return None
            address = msg[header].addresses[0]
            return {"name": address.display_name, "address": address.addr_spec}

        summary = {
            "subject": str(msg["Subject"]),
            "from": mailbox("From"),
            "to": mailbox("To"),
            "date": msg["Date"] is not None and msg["Date"].datetime is not None,
            "message_id": str(msg.get("Message-ID", "")),
            "mime_version": str(msg.get("MIME-Version", "")),
            "content_type": msg.get_content_type(),
            "defects": [str(d) for d in msg.defects]
            + [str(d) for p in msg.iter_parts() for d in p.defects],
            "parts": parts,
        }
        write("message.json", json.dumps(summary, ensure_ascii=False).encode())
        write("message.eml", raw)
        return "250 2.0.0 Aceptado"


def authenticator(server, session, envelope, mechanism, auth_data):
    ok = MODE != "refuse-auth" and auth_data.login == USER and auth_data.password == PASSWORD
    return AuthResult(success=ok, handled=False)


def smtp_factory():
    options = {"hostname": "peer.test", "ident": "peer"}
    if MODE == "no-size":
        options.update(data_size_limit=None)
    elif MODE == "size-1mb":
        options.update(data_size_limit=1048576)
    if MODE in ("auth", "refuse-auth"):
        options.update(authenticator=authenticator, auth_require_tls=False)
    elif MODE == "auth-plain-only":
        options.update(authenticator=authenticator, auth_require_tls=False,
                       auth_exclude_mechanism=["LOGIN"])
    elif MODE == "tls":
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(sys.argv[3], sys.argv[4])
        options.update(authenticator=authenticator, tls_context=context)
    return RecordingSMTP(Handler(), **options)


async def silent(reader, writer):
    await reader.read()  # until the client goes
    writer.close()


async def greeting_554(reader, writer):
    writer.write(b"554 5.3.2 Servicio no disponible\r\n")
    while line := await reader.readline():
        record(line)
        if line.strip().upper() == b"QUIT":
            writer.write(b"221 2.0.0 Adios\r\n")
            break
        writer.write(b"503 5.5.1 Sin servicio\r\n")
    await writer.drain()
    writer.close()


async def main():
    loop = asyncio.get_running_loop()
    if MODE == "silent":
        server = await asyncio.start_server(silent, "127.0.0.1", 0)
    elif MODE == "greeting-554":
        server = await asyncio.start_server(greeting_554, "127.0.0.1", 0)
    else:
        server = await loop.create_server(smtp_factory, "127.0.0.1", 0)
    print(server.sockets[0].getsockname()[1], flush=True)
    await server.serve_forever()


asyncio.run(main())
