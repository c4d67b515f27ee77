#!/usr/bin/python3
"""A real SMTP server on 127.0.0.1 for the mail tests.

    smtp_server.py MODE OUTDIR [CERT KEY]

MODE is "tls" (encrypted from the first byte), "starttls" (plain, STARTTLS offered and
required before login) or "plain" (no encryption at all, login offered anyway, so that a
client that sends its password over it is caught). Accepts the user and password given
in the environment variables SMTP_TEST_USER and SMTP_TEST_PASSWORD.

Prints "PORT <n>" on standard output once it listens and runs until standard input
closes. Every event goes to OUTDIR/events.txt, one line each ("auth <user> <ok|bad>",
"starttls", "ehlo"). Every received mail becomes OUTDIR/mail-<n>/ with summary.json
(from, to, subject, body, attachments as [filename, content type, saved file]) and the
attachments decoded into files named att-<i>.
"""

import json
import os
import socket
import ssl
import sys
import threading
import warnings
from email import policy
from email.parser import BytesParser

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, SMTP

LOCK = threading.Lock()
warnings.simplefilter("ignore", DeprecationWarning)


def encrypted(server):
    """"yes" when the session's transport is TLS (from the start or after STARTTLS)."""
    transport = server.transport
    return "yes" if transport is not None and transport.get_extra_info("ssl_object") is not None else "no"


class Recorder:
    def __init__(self, outdir):
        self.outdir = outdir
        self.count = 0

    def event(self, text):
        with LOCK:
            with open(os.path.join(self.outdir, "events.txt"), "a", encoding="utf-8") as handle:
                handle.write(text + "\n")

    async def handle_EHLO(self, server, session, envelope, hostname, responses):
        session.host_name = hostname
        self.event("ehlo tls=%s" % encrypted(server))
        return responses

    async def handle_STARTTLS(self, server, session, envelope):
        self.event("starttls")
        return True

    async def handle_DATA(self, server, session, envelope):
        message = BytesParser(policy=policy.default).parsebytes(envelope.content)
        with LOCK:
            self.count += 1
            folder = os.path.join(self.outdir, "mail-%d" % self.count)
        os.makedirs(folder)
        body_part = message.get_body(preferencelist=("plain",))
        attachments = []
        for index, part in enumerate(message.iter_attachments()):
            name = os.path.join(folder, "att-%d" % index)
            with open(name, "wb") as handle:
                handle.write(part.get_payload(decode=True))
            attachments.append([part.get_filename(), part.get_content_type(), name])
        summary = {
            "mail_from": envelope.mail_from,
            "rcpt_tos": envelope.rcpt_tos,
            "from": str(message["From"]),
            "to": str(message["To"]),
            "subject": str(message["Subject"]),
            "body": body_part.get_content() if body_part is not None else None,
            "attachments": attachments,
        }
        with open(os.path.join(folder, "summary.json.tmp"), "w", encoding="utf-8") as handle:
            json.dump(summary, handle)
        os.rename(os.path.join(folder, "summary.json.tmp"), os.path.join(folder, "summary.json"))
        self.event("mail %d" % self.count)
        return "250 OK"


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def main():
    mode, outdir = sys.argv[1], sys.argv[2]
    user = os.environ.get("SMTP_TEST_USER", "")
    password = os.environ.get("SMTP_TEST_PASSWORD", "")
    recorder = Recorder(outdir)

    def authenticator(server, session, envelope, mechanism, auth_data):
        login = auth_data.login.decode("utf-8", "replace") if auth_data.login else ""
        given = auth_data.password.decode("utf-8", "replace") if auth_data.password else ""
        ok = login == user and given == password
        recorder.event("auth %s %s tls=%s" % (login, "ok" if ok else "bad", encrypted(server)))
        return AuthResult(success=ok, handled=False)

    context = None
    if mode in ("tls", "starttls"):
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(sys.argv[3], sys.argv[4])

    # In "tls" mode every byte is encrypted anyway (aiosmtpd would not offer AUTH there
    # otherwise); in "plain" mode AUTH is offered on purpose, to catch a client that uses it.
    options = dict(authenticator=authenticator, auth_require_tls=(mode == "starttls"),
                   auth_exclude_mechanism=[], hostname="localhost")
    # The controller needs a fixed port: take a free one, retrying if another process
    # took it in between.
    for attempt in range(20):
        port = free_port()
        if mode == "tls":
            controller = Controller(recorder, hostname="127.0.0.1", port=port, ssl_context=context,
                                    server_kwargs=options)
        elif mode == "starttls":
            controller = Controller(recorder, hostname="127.0.0.1", port=port, tls_context=context,
                                    require_starttls=True, server_kwargs=options)
        else:
            controller = Controller(recorder, hostname="127.0.0.1", port=port, server_kwargs=options)
        try:
            controller.start()
            break
        except OSError:
            continue
    else:
        sys.exit("no free port")
    sys.stdout.write("PORT %d\n" % port)
    sys.stdout.flush()
    sys.stdin.read()
    controller.stop()


if __name__ == "__main__":
    main()
