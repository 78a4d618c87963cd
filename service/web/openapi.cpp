#include "web/openapi.h"

#include <QStringBuilder>

namespace OpenApi {

const QByteArray &document()
{
    static const QByteArray text = QByteArray(R"json({
  "openapi": "3.0.3",
  "info": {
    "title": "Lexigrove association service",
    "version": ")json") + LEXIGROVE_VERSION +
                                   R"json(",
    "description": "German words associated with German seed keywords, from a local index of open lexical data. Every answer depends only on the query and the index, so it carries an ETag: a request with If-None-Match gets 304 while the index is unchanged.",
    "license": {"name": "GPL-3.0-or-later"}
  },
  "paths": {
    "/api/v1/associations": {
      "get": {
        "operationId": "associations",
        "summary": "The words associated with each seed keyword, best first",
        "parameters": [
          {"name": "q", "in": "query", "required": true,
           "description": "Seed keywords, separated by commas or line ends; may be repeated. At most 10 seeds of at most 100 characters (code points) each.",
           "schema": {"type": "string"}},
          {"name": "n", "in": "query",
           "description": "Words per seed. Given at most once.",
           "schema": {"type": "integer", "minimum": 1, "maximum": 200, "default": 20}},
          {"name": "format", "in": "query",
           "description": "The answer's format; without it the Accept header decides (text/csv or application/json), else JSON. Given at most once.",
           "schema": {"type": "string", "enum": ["json", "csv"]}}
        ],
        "responses": {
          "200": {
            "description": "The associations of every seed, in the order given. In CSV (RFC 4180, CRLF line ends, header line seed,word,relation,score) a seed without words has one row with the other cells empty, and a cell that begins with =, +, -, @, a tab or a carriage return begins with an apostrophe so that spreadsheets do not run it as a formula.",
            "headers": {
              "ETag": {"schema": {"type": "string"}},
              "Cache-Control": {"schema": {"type": "string"}}
            },
            "content": {
              "application/json": {"schema": {"$ref": "#/components/schemas/Associations"}},
              "text/csv": {"schema": {"type": "string"}}
            }
          },
          "304": {"description": "The copy named in If-None-Match is still current."},
          "400": {"$ref": "#/components/responses/Problem"},
          "404": {"$ref": "#/components/responses/Problem"},
          "405": {"$ref": "#/components/responses/Problem"}
        }
      }
    },
    "/api/v1/openapi.json": {
      "get": {
        "operationId": "openapi",
        "summary": "This document",
        "responses": {
          "200": {"description": "OpenAPI 3 document",
                  "content": {"application/json": {"schema": {"type": "object"}}}}
        }
      }
    }
  },
  "components": {
    "schemas": {
      "Associations": {
        "type": "object",
        "required": ["n", "count", "results"],
        "additionalProperties": false,
        "properties": {
          "n": {"type": "integer", "description": "The words asked for per seed."},
          "count": {"type": "integer", "description": "The words in all results together."},
          "results": {"type": "array", "items": {"$ref": "#/components/schemas/SeedResult"}}
        }
      },
      "SeedResult": {
        "type": "object",
        "required": ["seed", "count", "associations"],
        "additionalProperties": false,
        "properties": {
          "seed": {"type": "string", "description": "The seed as given, blanks simplified."},
          "count": {"type": "integer", "description": "The words found for this seed, at most n; 0 when none."},
          "associations": {"type": "array", "items": {"$ref": "#/components/schemas/Association"}}
        }
      },
      "Association": {
        "type": "object",
        "required": ["word", "relation", "score"],
        "additionalProperties": false,
        "properties": {
          "word": {"type": "string"},
          "relation": {"type": "string",
                       "enum": ["synonym", "broader", "narrower", "compound", "cooccurrence", "neighbour"],
                       "description": "How the word relates to the seed; the strongest relation when there are several."},
          "score": {"type": "number", "minimum": 0, "maximum": 1,
                    "description": "From 0 to 1, higher for a closer word; written with three decimals."}
        }
      },
      "Problem": {
        "type": "object",
        "description": "RFC 9457 problem details.",
        "required": ["type", "title", "status", "detail"],
        "additionalProperties": false,
        "properties": {
          "type": {"type": "string"},
          "title": {"type": "string"},
          "status": {"type": "integer"},
          "detail": {"type": "string", "description": "What is wrong, in one line."}
        }
      }
    },
    "responses": {
      "Problem": {
        "description": "A bad or unknown field, a repeated single-valued field, an unknown path or method.",
        "content": {"application/problem+json": {"schema": {"$ref": "#/components/schemas/Problem"}}}
      }
    }
  }
}
)json";
    return text;
}

} // namespace OpenApi
