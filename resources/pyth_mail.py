#!/usr/bin/python3
"""Sends one e-mail for Amends.

Usage (the program starts it this way):

    pyth_mail.py < MAIL

The command line holds nothing else: every local user can read a process's arguments
(/proc/<pid>/cmdline), so the mail and its account travel on standard input. MAIL is one
JSON object in UTF-8 with these members, all of them text except the last:

    sender       the account's address: the login, the envelope sender and "From"
    password     the account's password
    server       the SMTP server's host name or address
    port         its port, as decimal digits
    recipient    the one address the mail goes to ("To" and the envelope recipient)
    subject      the subject, any characters but line breaks
    body         the text of the mail, line breaks as they are
    ssl          "Y" or "N" (see below)
    attachments  a list of file paths, attached in that order

Members not listed are ignored; a missing one, one of the wrong type, or text holding a
NUL character is refused.

SSL is "Y" for a connection that is encrypted from the start (implicit TLS, usually
port 465) and "N" for a plain connection that must be upgraded with STARTTLS before
anything else is sent (usually port 587). A server that does not offer STARTTLS is
refused: the password never travels unencrypted. Certificates are checked against the
system's trust store; the environment variable AMENDS_MAIL_CA_FILE may name one more
file of trusted certificates in PEM form (used by the program's tests).

Each attachment is sent under its file name; its Content-Type follows its bytes (the
program writes PNG data under names ending in ".jpeg"). Only regular files are attached
(a FIFO or a device is refused before anything is read from it), and the whole mail as it
goes to the server, encoded, may hold at most 25 MB (25,000,000 bytes): more than most
mail servers take.

Exit status: 0 when the server accepted the mail for the recipient, otherwise:
    2  any argument, standard input that is not such an object, or a header (sender,
       recipient, subject) that holds a line break
    3  an attachment cannot be read, or is not a regular file
    4  the server cannot be reached, or the secure connection failed
    5  the server refused the login
    6  the server refused the sender, the recipient or the message
    7  the mail is larger than the 25 MB that mail servers take (nothing is sent)
    8  an unexpected failure inside this script (out of memory, for one)
One line on standard error says why; the script never ends with a traceback.
"""

import base64
import email.generator
import email.utils
import io
import json
import os
import smtplib
import socket
import ssl
import stat
import sys
from email.message import EmailMessage

# Seconds any single network step may take before the mail counts as failed.
NETWORK_TIMEOUT = 60

# The largest mail, in bytes as it goes to the server (encoded), that is sent: 25 MB,
# what mail servers commonly take.
MAX_MAIL_BYTES = 25 * 1000 * 1000
TOO_LARGE = "the mail is larger than the 25 MB that mail servers take"

# Leading bytes of the formats an attachment may hold, with their type.
SIGNATURES = (
    (b"\x89PNG\r\n\x1a\n", "image", "png"),
    (b"\xff\xd8\xff", "image", "jpeg"),
    (b"GIF87a", "image", "gif"),
    (b"GIF89a", "image", "gif"),
    (b"BM", "image", "bmp"),
    (b"II*\x00", "image", "tiff"),
    (b"MM\x00*", "image", "tiff"),
    (b"%PDF-", "application", "pdf"),
    (b"PK\x03\x04", "application", "zip"),
)


class MailFailure(Exception):
    def __init__(self, status, reason):
        super().__init__(reason)
        self.status = status


def content_type(data):
    """The MIME type of `data`, decided from its leading bytes."""
    for signature, maintype, subtype in SIGNATURES:
        if data.startswith(signature):
            return maintype, subtype
    if data.startswith(b"RIFF") and data[8:12] == b"WEBP":
        return "image", "webp"
    return "application", "octet-stream"


# The members of the mail object that hold text.
TEXT_FIELDS = ("sender", "password", "server", "port", "recipient", "subject", "body", "ssl")


def read_mail(stream):
    """The mail object on `stream` (all of it, up to its end), checked member by member."""
    raw = stream.buffer.read() if hasattr(stream, "buffer") else stream.read().encode("utf-8")
    try:
        text = raw.decode("utf-8")
    except UnicodeDecodeError:
        raise MailFailure(2, "standard input is not UTF-8")
    try:
        mail = json.loads(text)
    except (ValueError, RecursionError) as error:
        raise MailFailure(2, "standard input is not a JSON object: %s" % error)
    if not isinstance(mail, dict):
        raise MailFailure(2, "standard input is not a JSON object")

    def checked_text(value, what):
        if not isinstance(value, str):
            raise MailFailure(2, "%s is not text" % what)
        try:
            value.encode("utf-8")  # a lone surrogate escape cannot be sent
        except UnicodeEncodeError:
            raise MailFailure(2, "%s holds characters that are not valid text" % what)
        if "\0" in value:  # no file name, host or header may hold one
            raise MailFailure(2, "%s holds a NUL character" % what)
        return value

    for name in TEXT_FIELDS:
        if name not in mail:
            raise MailFailure(2, "the mail has no %s" % name)
        checked_text(mail[name], name)
    attachments = mail.get("attachments")
    if not isinstance(attachments, list):
        raise MailFailure(2, "the attachments are not a list")
    for index, path in enumerate(attachments):
        checked_text(path, "attachment %d" % (index + 1))
    return mail


def read_attachment(path, budget):
    """The bytes of the regular file at `path`; more than `budget` bytes make the mail too
    large. The file is opened without waiting (a FIFO would wait for a writer for ever) and
    checked to be a regular file before anything is read: a FIFO or a device could give
    nothing, or never end."""
    try:
        descriptor = os.open(path, os.O_RDONLY | os.O_NONBLOCK | os.O_NOCTTY)
    except OSError as error:
        raise MailFailure(3, "cannot read %s: %s" % (path, error.strerror))
    # A folder opens too, but cannot be read as a file: the check comes before the handle.
    try:
        status = os.fstat(descriptor)
    except OSError as error:
        os.close(descriptor)
        raise MailFailure(3, "cannot read %s: %s" % (path, error.strerror))
    if not stat.S_ISREG(status.st_mode):
        os.close(descriptor)
        raise MailFailure(3, "cannot attach %s: not a regular file" % path)
    with os.fdopen(descriptor, "rb") as handle:
        try:
            if status.st_size > budget:
                raise MailFailure(7, TOO_LARGE)
            # The file may grow while it is read: never more than the budget and a byte.
            data = handle.read(budget + 1)
        except OSError as error:
            raise MailFailure(3, "cannot read %s: %s" % (path, error.strerror))
    if len(data) > budget:
        raise MailFailure(7, TOO_LARGE)
    return data


def flattened(message, sender, recipient):
    """`message` as the bytes that go to the server, and the options of its MAIL command.
    Unlike smtplib's send_message, a body line that starts with "From " stays as it is
    (send_message writes it as ">From ")."""
    options = ()
    policy = message.policy
    if not (sender + recipient).isascii():
        options = ("SMTPUTF8", "BODY=8BITMIME")
        policy = policy.clone(utf8=True)
    with io.BytesIO() as flat:
        email.generator.BytesGenerator(flat, mangle_from_=False, policy=policy).flatten(message, linesep="\r\n")
        data = flat.getvalue()
    if len(data) > MAX_MAIL_BYTES:
        raise MailFailure(7, TOO_LARGE)
    return data, options


def build_message(sender, recipient, subject, body, attachments):
    message = EmailMessage()
    try:
        message["From"] = sender
        message["To"] = recipient
        message["Subject"] = subject
    except ValueError as error:  # a line break in a header
        raise MailFailure(2, "bad header: %s" % error)
    message["Date"] = email.utils.formatdate(localtime=True)
    message["Message-ID"] = email.utils.make_msgid(domain="amends.invalid")
    # Base64 makes attachments a third larger, so their raw bytes alone may already tell
    # that the mail is too large: then nothing more is read.
    budget = MAX_MAIL_BYTES - len(body.encode("utf-8"))
    if budget < 0:
        raise MailFailure(7, TOO_LARGE)
    message.set_content(body)
    for path in attachments:
        data = read_attachment(path, budget)
        budget -= len(data)
        maintype, subtype = content_type(data)
        message.add_attachment(data, maintype=maintype, subtype=subtype,
                               filename=os.path.basename(path))
    return message


def tls_context():
    context = ssl.create_default_context()
    extra = os.environ.get("AMENDS_MAIL_CA_FILE", "")
    if extra:
        context.load_verify_locations(cafile=extra)
    return context


def connect(server, port, implicit_tls):
    """A connection on which the password may be sent: encrypted and verified."""
    context = tls_context()
    try:
        if implicit_tls:
            connection = smtplib.SMTP_SSL(server, port, timeout=NETWORK_TIMEOUT, context=context)
            connection.ehlo()
            return connection
        connection = smtplib.SMTP(server, port, timeout=NETWORK_TIMEOUT)
        connection.ehlo()
        if not connection.has_extn("starttls"):
            connection.close()
            raise MailFailure(4, "the server does not offer STARTTLS; the password is not sent "
                                 "over an unencrypted connection")
        connection.starttls(context=context)
        connection.ehlo()
        return connection
    except (OSError, smtplib.SMTPException) as error:
        raise MailFailure(4, "cannot connect securely to %s:%d: %s" % (server, port, error))


def login(connection, user, password):
    """Logs in with AUTH PLAIN or LOGIN, the user and password sent as UTF-8 (smtplib's
    own login would only take ASCII)."""
    if not connection.has_extn("auth"):
        raise MailFailure(5, "the server does not offer a login")
    mechanisms = connection.esmtp_features["auth"].upper().split()

    def encoded(text):
        return base64.b64encode(text.encode("utf-8")).decode("ascii")

    if "PLAIN" in mechanisms:
        code, reply = connection.docmd("AUTH", "PLAIN " + encoded("\0%s\0%s" % (user, password)))
    elif "LOGIN" in mechanisms:
        code, reply = connection.docmd("AUTH", "LOGIN " + encoded(user))
        if code == 334:
            code, reply = connection.docmd(encoded(password))
    else:
        try:
            connection.login(user, password)
            return
        except UnicodeEncodeError:
            raise MailFailure(5, "the server offers no login that takes this password")
        except smtplib.SMTPAuthenticationError as error:
            code, reply = error.smtp_code, error.smtp_error
    if code != 235:
        raise MailFailure(5, "the server refused the login: %d %s" % (code, reply.decode("utf-8", "replace")))


def send_message(connection, data, options, sender, recipient):
    """Sends the flattened mail `data` with its MAIL `options` (see flattened)."""
    if options and not connection.has_extn("smtputf8"):
        raise smtplib.SMTPNotSupportedError("the server does not take addresses with "
                                            "characters outside ASCII")
    return connection.sendmail(sender, [recipient], data, options)


def send(argv, stdin):
    if len(argv) > 1:
        raise MailFailure(2, "the mail is read from standard input, not from %d arguments" % (len(argv) - 1))
    mail = read_mail(stdin)
    server = mail["server"]
    port_text = mail["port"]
    ssl_value = mail["ssl"]
    if ssl_value not in ("Y", "N"):
        raise MailFailure(2, "the SSL value must be Y or N, not %r" % ssl_value)
    try:
        port = int(port_text.strip())
    except ValueError:
        raise MailFailure(2, "the port %r is not a number" % port_text)
    if not 0 < port < 65536:
        raise MailFailure(2, "the port %d is out of range" % port)
    password = mail["password"]
    sender = mail["sender"].strip()
    recipient = mail["recipient"].strip()
    message = build_message(sender, recipient, mail["subject"], mail["body"], mail["attachments"])
    # Whole and within the size limit before the server is contacted.
    data, options = flattened(message, sender, recipient)
    del message

    connection = connect(server.strip(), port, ssl_value == "Y")
    try:
        login(connection, sender, password)
        try:
            refused = send_message(connection, data, options, sender, recipient)
        except smtplib.SMTPRecipientsRefused:
            raise MailFailure(6, "the server refused the recipient %s" % recipient)
        except smtplib.SMTPSenderRefused:
            raise MailFailure(6, "the server refused the sender %s" % sender)
        except smtplib.SMTPDataError as error:
            raise MailFailure(6, "the server refused the message: %s" % error.smtp_error.decode("utf-8", "replace"))
        if refused:
            raise MailFailure(6, "the server refused the recipient %s" % recipient)
    except (OSError, smtplib.SMTPException) as error:
        raise MailFailure(4, "the connection to %s failed: %s" % (server, error))
    finally:
        try:
            connection.quit()
        except (OSError, smtplib.SMTPException):
            connection.close()


def main():
    socket.setdefaulttimeout(NETWORK_TIMEOUT)
    try:
        send(sys.argv, sys.stdin)
    except MailFailure as failure:
        sys.stderr.write("pyth_mail: %s\n" % failure)
        return failure.status
    except Exception as error:  # a fault of this script or of its host: still one line
        sys.stderr.write("pyth_mail: an unexpected failure: %s\n" % type(error).__name__)
        return 8
    return 0


if __name__ == "__main__":
    sys.exit(main())
