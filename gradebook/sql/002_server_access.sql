-- On a school's server each teacher sees only the attempts they collected, and a head of
-- department sees all. A statement after a line "-- server only" is the server's alone;
-- Quizloom leaves it out of its own file, which has one account.

-- server only
ALTER TABLE attempts ENABLE ROW LEVEL SECURITY;

-- server only
CREATE POLICY own_attempts ON attempts
  USING (collector = current_user OR pg_has_role(current_user, 'quizloom_head', 'member'))
  WITH CHECK (collector = current_user);

-- Responses follow their attempt: the attempts a teacher may see decide which responses too.
-- server only
ALTER TABLE responses ENABLE ROW LEVEL SECURITY;

-- server only
CREATE POLICY own_responses ON responses
  USING (EXISTS (SELECT 1 FROM attempts a WHERE a.id = attempt_id));

INSERT INTO schema_version (version) VALUES (2);
