#!/usr/bin/env python3
"""Signs the requests a test recorded again with botocore and says, per request, whether the
Authorization header matches and x-amz-content-sha256 is the SHA-256 of the body sent.

usage: sigv4_check.py requests.json   (written by signing_test.cpp)"""
import hashlib
import json
import sys

from botocore.auth import S3SigV4Auth
from botocore.awsrequest import AWSRequest
from botocore.credentials import Credentials

data = json.load(open(sys.argv[1]))
credentials = Credentials(data["accessKey"], data["secretKey"])
for recorded in data["requests"]:
    headers = recorded["headers"]
    algorithm, _, fields_text = headers["authorization"].partition(" ")
    fields = dict(part.strip().split("=", 1) for part in fields_text.split(","))
    signed = fields["SignedHeaders"].split(";")
    request = AWSRequest(method=recorded["method"], url="http://" + headers["host"] + recorded["target"],
                         headers={name: headers[name] for name in signed})
    request.context["timestamp"] = headers["x-amz-date"]
    auth = S3SigV4Auth(credentials, "s3", data["region"])
    canonical = auth.canonical_request(request)
    signature = auth.signature(auth.string_to_sign(request, canonical), request)
    problems = []
    if algorithm != "AWS4-HMAC-SHA256":
        problems.append("algorithm " + algorithm)
    if fields["Credential"] != "/".join([data["accessKey"], headers["x-amz-date"][:8], data["region"], "s3", "aws4_request"]):
        problems.append("credential scope " + fields["Credential"])
    if "x-amz-content-sha256" not in signed:
        problems.append("x-amz-content-sha256 is not signed")
    with open(recorded["bodyFile"], "rb") as body:
        if headers.get("x-amz-content-sha256") != hashlib.sha256(body.read()).hexdigest():
            problems.append("x-amz-content-sha256 is not the body's hash")
    if signature != fields["Signature"]:
        problems.append("signature differs; botocore's canonical request:\n" + canonical)
    print(recorded["method"], recorded["target"], "OK" if not problems else "MISMATCH " + "; ".join(problems))
